#include "app/termination_requests.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <csignal>

namespace keelnode {
namespace {

TEST(TerminationRequestsTest, ASignalBeforeListeningIsAnsweredOnceListening) {
  TerminationRequests requests;
  QSignalSpy spy(&requests, &TerminationRequests::requested);
  std::raise(SIGTERM);
  std::raise(SIGINT);
  QCoreApplication::processEvents();
  EXPECT_EQ(spy.count(), 0);
  requests.listen();
  ASSERT_TRUE(spy.wait(5000));
  // Two signals waiting together make one request.
  QCoreApplication::processEvents();
  EXPECT_EQ(spy.count(), 1);
  std::raise(SIGHUP);
  ASSERT_TRUE(spy.wait(5000));
  EXPECT_EQ(spy.count(), 2);
}

TEST(TerminationRequestsTest, PutsThePreviousHandlersBack) {
  struct sigaction before {};
  sigaction(SIGTERM, nullptr, &before);
  { TerminationRequests requests; }
  struct sigaction after {};
  sigaction(SIGTERM, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

}  // namespace
}  // namespace keelnode
