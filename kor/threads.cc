#include "kor/threads.h"

#include <cerrno>

namespace KOR {
namespace {

struct KeySlot {
  bool used = false;
  const void *value = nullptr;
};
KeySlot key_slots[KT_KEYS_MAX];

bool valid_used_key(kt_key_t key) {
  return key >= 0 && key < KT_KEYS_MAX && key_slots[key].used;
}

} // namespace

int kt_mutex_init(kt_mutex_t *m) { m->count = 0; return 0; }
int kt_mutex_destroy(kt_mutex_t *) { return 0; }
int kt_mutex_lock(kt_mutex_t *m) { ++m->count; return 0; }

int kt_mutex_trylock(kt_mutex_t *m) {
  if (m->count != 0) return EBUSY;
  m->count = 1;
  return 0;
}

int kt_mutex_unlock(kt_mutex_t *m) {
  if (m->count == 0) return EPERM;
  --m->count;
  return 0;
}

int kt_cond_init(kt_cond_t *) { return 0; }
int kt_cond_destroy(kt_cond_t *) { return 0; }
int kt_cond_wait(kt_cond_t *, kt_mutex_t *) { return 0; }
int kt_cond_signal(kt_cond_t *) { return 0; }
int kt_cond_broadcast(kt_cond_t *) { return 0; }

int kt_key_create(kt_key_t *key) {
  for (int i = 0; i < KT_KEYS_MAX; ++i) {
    if (!key_slots[i].used) {
      key_slots[i] = KeySlot{true, nullptr};
      *key = i;
      return 0;
    }
  }
  return EAGAIN;
}

int kt_key_delete(kt_key_t key) {
  if (!valid_used_key(key)) return EINVAL;
  key_slots[key] = KeySlot{};
  return 0;
}

int kt_setspecific(kt_key_t key, const void *value) {
  if (!valid_used_key(key)) return EINVAL;
  key_slots[key].value = value;
  return 0;
}

void *kt_getspecific(kt_key_t key) {
  return valid_used_key(key) ? const_cast<void *>(key_slots[key].value) : nullptr;
}

int kt_create(kt_t *thread, void *(*)(void *), void *) { *thread = 0; return 0; }
int kt_join(kt_t, void **result) { if (result) *result = nullptr; return 0; }
int kt_cancel(kt_t) { return 0; }
kt_t kt_self() { return 0; }
bool kt_equal(kt_t, kt_t) { return true; }
int kt_kill(kt_t, int sig) { return std::raise(sig) == 0 ? 0 : errno; }

} // namespace KOR
