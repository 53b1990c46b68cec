// A certificate authority and a server certificate for 127.0.0.1, made at
// run time so that nothing ever expires.
#pragma once

#include <openssl/ssl.h>

#include <memory>
#include <string>

namespace keelnode::nettest {

class TestCertificates {
 public:
  TestCertificates();  // fails the current test when OpenSSL does
  ~TestCertificates();
  TestCertificates(const TestCertificates&) = delete;
  TestCertificates& operator=(const TestCertificates&) = delete;

  // PEM file holding the authority's certificate, for the client to trust.
  const std::string& caFile() const { return caFile_; }
  // A server context presenting the certificate the authority signed.
  SSL_CTX* serverContext() const { return context_.get(); }

 private:
  struct FreeContext {
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
  };
  std::string caFile_;
  std::unique_ptr<SSL_CTX, FreeContext> context_;
};

}  // namespace keelnode::nettest
