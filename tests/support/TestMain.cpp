#include <gtest/gtest.h>

#include "platform/Thread.h"

int main(int argc, char** argv) {
  // The thread that runs the tests plays the main thread: it pumps the queue that workers post to.
  MainThreadQueue().BindToCurrentThread();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
