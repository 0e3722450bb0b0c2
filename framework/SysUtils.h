// Run-time library: exceptions and text and file helpers.
#pragma once

#include <stdexcept>
#include <string>

// Base of every failure the program raises; carries the message text shown to the user.
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};
