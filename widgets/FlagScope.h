#pragma once

namespace tw {

// Sets a flag for the length of a scope and restores what it was.
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = old_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace tw
