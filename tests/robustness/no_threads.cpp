// Preloaded into a program under test (LD_PRELOAD), this makes every thread
// creation fail as it does under a limit on processes, so that the program
// does its work on the main thread.
#include <pthread.h>

#include <cerrno>

extern "C" int pthread_create(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*) { return EAGAIN; }
