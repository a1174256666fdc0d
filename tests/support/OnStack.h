// Test helper: run a piece of work on a thread with a stack of a given size,
// as the program entries do, and tell how it ended.
#pragma once

#include <gtest/gtest.h>
#include <pthread.h>

#include <cstddef>
#include <functional>
#include <string>

#include "syntax/Failure.h"

namespace jox::test {

// "" when `work` returns, "stack" on StackExhausted, the message of a
// JoxError otherwise.
inline std::string onStack(std::size_t bytes, const std::function<void()>& work) {
    struct Job {
        const std::function<void()>* work;
        std::string outcome;
    } job{&work, ""};
    auto body = [](void* p) -> void* {
        Job& j = *static_cast<Job*>(p);
        initStackLimit();
        try {
            (*j.work)();
        } catch (const StackExhausted&) {
            j.outcome = "stack";
        } catch (const JoxError& e) {
            j.outcome = e.message();
        }
        return nullptr;
    };
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    EXPECT_EQ(pthread_create(&thread, &attr, body, &job), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    return job.outcome;
}

}  // namespace jox::test
