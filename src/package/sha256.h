// sha256.h - incremental SHA-256 on OpenSSL's EVP interface.
#pragma once

#include <string>
#include <string_view>

struct evp_md_ctx_st;  // OpenSSL's EVP_MD_CTX

namespace velmora::package {

/// Feed bytes with update(), then hex_digest() gives 64 lower-case hex digits.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  void update(std::string_view bytes);
  std::string hex_digest();

 private:
  ::evp_md_ctx_st* ctx_;
};

/// The SHA-256 of `bytes` as lower-case hex.
std::string sha256_hex(std::string_view bytes);

}  // namespace velmora::package
