// The thread layer of the single-threaded configuration.
//
// Every stage of the shell runs on the main thread, but the code keeps the
// locks, waits and signals that a threaded build needs.  These primitives
// follow the POSIX operations and error numbers with single-threaded meanings:
// a mutex is a counter, a wait never blocks, thread identities always compare
// equal.  The kt_ prefix keeps them apart from libc's pthread_* symbols.
#pragma once

#include <csignal>

namespace KOR {

struct kt_mutex_t { unsigned count = 0; };   // 0 = free
struct kt_cond_t {};                          // carries no state
using kt_t = unsigned long;                   // a thread identity
using kt_key_t = int;                         // index of a key slot

constexpr int KT_KEYS_MAX = 16;

int kt_mutex_init(kt_mutex_t *m);
int kt_mutex_destroy(kt_mutex_t *m);
int kt_mutex_lock(kt_mutex_t *m);             // never blocks; nests
int kt_mutex_trylock(kt_mutex_t *m);          // EBUSY when held
int kt_mutex_unlock(kt_mutex_t *m);           // EPERM when not held

int kt_cond_init(kt_cond_t *c);
int kt_cond_destroy(kt_cond_t *c);
int kt_cond_wait(kt_cond_t *c, kt_mutex_t *m);
int kt_cond_signal(kt_cond_t *c);
int kt_cond_broadcast(kt_cond_t *c);

int kt_key_create(kt_key_t *key);             // EAGAIN when all 16 slots are used
int kt_key_delete(kt_key_t key);              // EINVAL for a free slot
int kt_setspecific(kt_key_t key, const void *value);
void *kt_getspecific(kt_key_t key);

int kt_create(kt_t *thread, void *(*start)(void *), void *arg);
int kt_join(kt_t thread, void **result);
int kt_cancel(kt_t thread);
kt_t kt_self();
bool kt_equal(kt_t a, kt_t b);
int kt_kill(kt_t thread, int sig);            // raises sig in the shell

} // namespace KOR
