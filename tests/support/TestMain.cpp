#include <gmock/gmock.h>

#include "support/PrivateHome.h"

int main(int argc, char** argv) {
  cq::test::IsolateHome();
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
