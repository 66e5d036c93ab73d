#include "runtime/core/Failures.h"

Exception::Exception(std::string message)
    : message_(std::move(message)), address_(__builtin_return_address(0)) {}

std::string TrimSystemMessage(std::string text) {
  while (!text.empty()) {
    unsigned char c = static_cast<unsigned char>(text.back());
    if (c > ' ' && c != '.') break;
    text.pop_back();
  }
  return text;
}

const char* FullStopFor(const std::string& message) {
  return (!message.empty() && message.back() != '.') ? "." : "";
}

const char* DispatchFullStopFor(const std::string& message) {
  return (!message.empty() && static_cast<unsigned char>(message.back()) > '.') ? "." : "";
}
