// The single-threaded thread layer keeps POSIX error numbers with counting
// mutexes and non-blocking waits.
#include <gtest/gtest.h>

#include <cerrno>

#include "kor/threads.h"

using namespace KOR;

TEST(ThreadLayer, MutexCountsNestedLocksAndRefusesUnbalancedUnlock) {
  kt_mutex_t m;
  ASSERT_EQ(kt_mutex_init(&m), 0);
  EXPECT_EQ(kt_mutex_unlock(&m), EPERM);
  EXPECT_EQ(kt_mutex_lock(&m), 0);
  EXPECT_EQ(kt_mutex_lock(&m), 0);   // the same path may lock again
  EXPECT_EQ(kt_mutex_trylock(&m), EBUSY);
  EXPECT_EQ(kt_mutex_unlock(&m), 0);
  EXPECT_EQ(kt_mutex_trylock(&m), EBUSY);
  EXPECT_EQ(kt_mutex_unlock(&m), 0);
  EXPECT_EQ(kt_mutex_trylock(&m), 0);
  EXPECT_EQ(kt_mutex_unlock(&m), 0);
  EXPECT_EQ(kt_mutex_unlock(&m), EPERM);
}

TEST(ThreadLayer, SixteenKeySlotsThenEagain) {
  // The kernel already holds one slot; take the rest, then one too many.
  std::vector<kt_key_t> keys;
  kt_key_t k;
  while (kt_key_create(&k) == 0) keys.push_back(k);
  EXPECT_EQ(keys.size(), static_cast<size_t>(KT_KEYS_MAX - 1));
  EXPECT_EQ(kt_key_create(&k), EAGAIN);

  int value = 42;
  EXPECT_EQ(kt_setspecific(keys[3], &value), 0);
  EXPECT_EQ(kt_getspecific(keys[3]), &value);
  EXPECT_EQ(kt_getspecific(keys[4]), nullptr);

  EXPECT_EQ(kt_key_delete(keys[3]), 0);
  EXPECT_EQ(kt_key_delete(keys[3]), EINVAL);
  EXPECT_EQ(kt_key_create(&k), 0);   // the freed slot is reused with a cleared value
  EXPECT_EQ(k, keys[3]);
  EXPECT_EQ(kt_getspecific(k), nullptr);
  for (kt_key_t key : keys) EXPECT_EQ(kt_key_delete(key), 0);
  EXPECT_EQ(kt_key_delete(-1), EINVAL);
  EXPECT_EQ(kt_key_delete(KT_KEYS_MAX), EINVAL);
}

TEST(ThreadLayer, WaitsNeverBlockAndIdentitiesAlwaysMatch) {
  kt_mutex_t m;
  kt_cond_t c;
  kt_mutex_init(&m);
  EXPECT_EQ(kt_cond_init(&c), 0);
  EXPECT_EQ(kt_cond_wait(&c, &m), 0);
  EXPECT_EQ(kt_cond_signal(&c), 0);
  EXPECT_EQ(kt_cond_broadcast(&c), 0);
  EXPECT_TRUE(kt_equal(kt_self(), 12345));
}
