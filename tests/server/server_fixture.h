// A fresh vexa-server per test, on 127.0.0.1 over a temporary data folder.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/server_process.h"
#include "support/temp_dir.h"
#include "wire/wire.h"

namespace vexa::test {

// A reply body with its rows read (the rows point into the body).
class TAnswer {
 public:
  explicit TAnswer(std::string body) : Body_(std::move(body)), Reply_(wire::ReadReply(Body_)) {}
  TAnswer(const TAnswer&) = delete;
  TAnswer& operator=(const TAnswer&) = delete;
  const std::string& Body() const { return Body_; }
  const wire::TReply& Reply() const { return Reply_; }
  size_t Rows() const { return Reply_.Rows.size(); }
  std::string Value(size_t row, std::string_view tag) const {
    return row < Reply_.Rows.size() ? Reply_.Rows[row].Value(tag) : std::string();
  }
  std::string Error() const { return Reply_.Error(); }
  std::string Decoded(size_t row, std::string_view tag) const {
    return wire::Base64Decode(Value(row, tag)).value_or("<not base64>");
  }

 private:
  std::string Body_;
  wire::TReply Reply_;
};

inline const TClientId Ivan{"hw-ivan", "Иван", "Ivan@Example.org"};
inline const TClientId Olga{"hw-olga", "Ольга", "olga@example.org"};
// Someone else's installation claiming Ivan's e-mail.
inline const TClientId FakeIvan{"hw-other", "Не Иван", "ivan@example.org"};

class TServerTest : public ::testing::Test {
 protected:
  void SetUp() override { Server = std::make_unique<TServerProcess>(VEXA_SERVER_PATH, Dir.Path() / "data", Options()); }
  virtual std::vector<std::string> Options() const { return {"--write-rate", "0"}; }

  TAnswer Post(const std::string& path, const TFields& fields) const { return TAnswer(Server->Post(path, fields)); }

  TTempDir Dir;
  std::unique_ptr<TServerProcess> Server;
};

}  // namespace vexa::test
