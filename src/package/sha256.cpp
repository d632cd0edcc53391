// sha256.cpp - SHA-256 digests through OpenSSL EVP.
#include "package/sha256.h"

#include <openssl/evp.h>

#include <new>

namespace velmora::package {

Sha256::Sha256() : ctx_(EVP_MD_CTX_new()) {
  if (ctx_ == nullptr || EVP_DigestInit_ex(ctx_, EVP_sha256(), nullptr) != 1) {
    EVP_MD_CTX_free(ctx_);
    throw std::bad_alloc();
  }
}

Sha256::~Sha256() { EVP_MD_CTX_free(ctx_); }

void Sha256::update(std::string_view bytes) {
  if (!bytes.empty()) EVP_DigestUpdate(ctx_, bytes.data(), bytes.size());
}

std::string Sha256::hex_digest() {
  static constexpr char kHex[] = "0123456789abcdef";
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(ctx_, digest, &length);
  std::string hex;
  hex.reserve(length * 2);
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0xF];
  }
  return hex;
}

std::string sha256_hex(std::string_view bytes) {
  Sha256 hash;
  hash.update(bytes);
  return hash.hex_digest();
}

}  // namespace velmora::package
