#include "test_certificates.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>

namespace keelnode::nettest {
namespace {

struct FreeKey {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct FreeCert {
  void operator()(X509* cert) const { X509_free(cert); }
};
using Key = std::unique_ptr<EVP_PKEY, FreeKey>;
using Cert = std::unique_ptr<X509, FreeCert>;

bool addExtension(X509* cert, X509* issuer, int nid, const char* value) {
  X509V3_CTX context;
  X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* extension = X509V3_EXT_nconf_nid(nullptr, &context, nid, value);
  if (!extension) return false;
  const bool added = X509_add_ext(cert, extension, -1) == 1;
  X509_EXTENSION_free(extension);
  return added;
}

// A certificate for `key` named `commonName`, signed by `issuerKey`; a
// self-signed one when `issuer` is null.
Cert makeCertificate(EVP_PKEY* key, const char* commonName, X509* issuer, EVP_PKEY* issuerKey,
                     long serial, bool authority) {
  Cert cert(X509_new());
  X509* c = cert.get();
  X509_set_version(c, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(c), serial);
  X509_gmtime_adj(X509_getm_notBefore(c), -3600);
  X509_gmtime_adj(X509_getm_notAfter(c), 7 * 24 * 3600);
  X509_set_pubkey(c, key);
  X509_NAME_add_entry_by_txt(X509_get_subject_name(c), "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName), -1, -1, 0);
  X509* signer = issuer ? issuer : c;
  X509_set_issuer_name(c, X509_get_subject_name(signer));
  bool ok = addExtension(c, signer, NID_subject_key_identifier, "hash");
  if (authority) {
    ok = ok && addExtension(c, signer, NID_basic_constraints, "critical,CA:TRUE") &&
         addExtension(c, signer, NID_key_usage, "critical,keyCertSign,cRLSign");
  } else {
    ok = ok && addExtension(c, signer, NID_basic_constraints, "CA:FALSE") &&
         addExtension(c, signer, NID_authority_key_identifier, "keyid") &&
         addExtension(c, signer, NID_key_usage, "critical,digitalSignature") &&
         addExtension(c, signer, NID_ext_key_usage, "serverAuth") &&
         addExtension(c, signer, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
  }
  EXPECT_TRUE(ok);
  EXPECT_GT(X509_sign(c, issuerKey, EVP_sha256()), 0);
  return cert;
}

}  // namespace

TestCertificates::TestCertificates() {
  static std::atomic<int> counter{0};
  Key caKey(EVP_EC_gen("P-256"));
  Key serverKey(EVP_EC_gen("P-256"));
  EXPECT_TRUE(caKey && serverKey);
  Cert ca = makeCertificate(caKey.get(), "keelnode test authority", nullptr, caKey.get(), 1, true);
  Cert server = makeCertificate(serverKey.get(), "127.0.0.1", ca.get(), caKey.get(), 2, false);

  caFile_ = ::testing::TempDir() + "keelnode_test_ca_" + std::to_string(::getpid()) + "_" +
            std::to_string(counter++) + ".pem";
  FILE* file = std::fopen(caFile_.c_str(), "w");
  EXPECT_NE(file, nullptr);
  if (file) {
    EXPECT_EQ(PEM_write_X509(file, ca.get()), 1);
    std::fclose(file);
  }
  context_.reset(SSL_CTX_new(TLS_server_method()));
  EXPECT_EQ(SSL_CTX_use_certificate(context_.get(), server.get()), 1);
  EXPECT_EQ(SSL_CTX_use_PrivateKey(context_.get(), serverKey.get()), 1);
}

TestCertificates::~TestCertificates() {
  std::remove(caFile_.c_str());
}

}  // namespace keelnode::nettest
