// Run-time errors of the program and the "skip the failing statement" policy
// most handlers follow.
#pragma once
#include <stdexcept>
#include <string>

namespace base {

// An error the program raises itself: an overflow of a 16-bit value, a text
// that is not a number, and the like. Nothing else is caught by ResumeNext.
class RuntimeError : public std::runtime_error {
 public:
  RuntimeError(int number, const std::string& what) : std::runtime_error(what), number_(number) {}
  int Number() const { return number_; }

 private:
  int number_;
};

constexpr int kErrOverflow = 6;
constexpr int kErrOutOfMemory = 7;
constexpr int kErrTypeMismatch = 13;
constexpr int kErrInternal = 51;

inline RuntimeError OverflowError() { return RuntimeError(kErrOverflow, "Overflow"); }
inline RuntimeError TypeMismatchError() { return RuntimeError(kErrTypeMismatch, "Type mismatch"); }

// Runs one statement; a RuntimeError it raises is ignored and execution goes
// on with the next statement. Returns false when the statement failed.
template <class Statement>
bool ResumeNext(Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

}  // namespace base

namespace base {

// The message the language runtime shows for an error that stops the program.
inline std::string RuntimeErrorText(const RuntimeError& error) {
  const char* description = error.Number() == kErrOverflow       ? "オーバーフローしました。"
                            : error.Number() == kErrOutOfMemory  ? "メモリが不足しています。"
                            : error.Number() == kErrTypeMismatch ? "型が一致しません。"
                            : error.Number() == kErrInternal     ? "内部エラーです。"
                                                                 : error.what();
  return "実行時エラー '" + std::to_string(error.Number()) + "':\n\n" + description;
}

}  // namespace base
