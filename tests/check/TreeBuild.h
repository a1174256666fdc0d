// Small builders for syntax trees written by hand in the checker's tests.
#pragma once

#include <string>
#include <utility>

#include "syntax/JoxTypes.h"

namespace jox::build {

inline ExpPtr num(long n) { return mkFactorExp(E_Int{Integer(n)}); }
inline ExpPtr real(double x) { return mkFactorExp(E_Float{x}); }
inline ExpPtr str(Text s) { return mkFactorExp(E_Str{std::move(s)}); }
inline ExpPtr boolean(bool b) { return mkFactorExp(E_Boolean{b}); }
inline ExpPtr var(Text name) { return mkFactorExp(E_Var{std::move(name)}); }
inline ExpPtr elem(Text name, ExpPtr index) {
    return mkFactorExp(E_Vector{std::move(name), std::move(index)});
}
// The factor inside an expression made of one factor.
inline FactorPtr fac(const ExpPtr& e) { return std::get<E_Factor>(e->v).factor; }
// A factor wrapped as an expression.
inline ExpPtr exp(FactorPtr f) { return mkExp(E_Factor{std::move(f)}); }

template <class Bin>
ExpPtr bin(ExpPtr l, ExpPtr r) {
    return mkExp(Bin{std::move(l), std::move(r)});
}
template <class Bin>
ExpPtr binF(ExpPtr l, const ExpPtr& r) {
    return mkExp(Bin{std::move(l), fac(r)});
}
template <class Fn>
ExpPtr call(const ExpPtr& a) {
    return mkFactorExp(Fn{fac(a)});
}
template <class Fn>
ExpPtr call(const ExpPtr& a, const ExpPtr& b) {
    return mkFactorExp(Fn{fac(a), fac(b)});
}
template <class Fn>
ExpPtr callE(ExpPtr a) {
    return mkFactorExp(Fn{std::move(a)});
}

inline Variable simple(Text name) { return Simple{std::move(name)}; }
inline Variable vec(Text name, long size) { return Vector{std::move(name), num(size)}; }

}  // namespace jox::build
