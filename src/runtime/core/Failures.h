// The program's failure classes. A failure carries a message text and the
// address of the code that raised it (for the default failure report).
// Families:
//   Exception
//   +- EAbort                      silent: reported by nobody
//   +- EOutOfMemory
//   +- ERangeError
//   +- EOSError
//   +- EStreamError
//   |  +- EFilerError -> EReadError
//   |  +- EFileStreamError -> EFOpenError
//   +- EInvalidGraphic -> EJPEG
//   +- EInvalidGraphicOperation
//   +- EOleError -> EOleSysError -> EOleException
#pragma once

#include <string>

class Exception {
public:
  explicit Exception(std::string message);
  virtual ~Exception() = default;

  // The class name as the default failure report shows it.
  virtual const char* ClassName() const { return "Exception"; }
  const std::string& Message() const { return message_; }
  // Address of the code that constructed the failure.
  const void* Address() const { return address_; }

private:
  std::string message_;
  const void* address_;
};

#define SETUP_FAILURE_CLASS(Name, Base)                           \
  class Name : public Base {                                      \
  public:                                                         \
    using Base::Base;                                             \
    const char* ClassName() const override { return #Name; }      \
  }

SETUP_FAILURE_CLASS(EAbort, Exception);
SETUP_FAILURE_CLASS(EOutOfMemory, Exception);
SETUP_FAILURE_CLASS(ERangeError, Exception);
SETUP_FAILURE_CLASS(EOSError, Exception);
SETUP_FAILURE_CLASS(EStreamError, Exception);
SETUP_FAILURE_CLASS(EFilerError, EStreamError);
SETUP_FAILURE_CLASS(EReadError, EFilerError);
SETUP_FAILURE_CLASS(EFileStreamError, EStreamError);
SETUP_FAILURE_CLASS(EFOpenError, EFileStreamError);
SETUP_FAILURE_CLASS(EInvalidGraphic, Exception);
SETUP_FAILURE_CLASS(EJPEG, EInvalidGraphic);
SETUP_FAILURE_CLASS(EInvalidGraphicOperation, Exception);
SETUP_FAILURE_CLASS(EOleError, Exception);
SETUP_FAILURE_CLASS(EOleSysError, EOleError);
SETUP_FAILURE_CLASS(EOleException, EOleSysError);

// A system message text with trailing blanks, control characters and full
// stops removed, as failure messages quote it.
std::string TrimSystemMessage(std::string text);

// "." appended when the message is not empty and does not already end with
// a full stop (the default failure report's rule).
const char* FullStopFor(const std::string& message);

// "." appended when the message is not empty and its last character sorts
// after "." (a letter or a digit, not "!" or "."): the rule of the box that
// reports a failure raised while a window message was dispatched.
const char* DispatchFullStopFor(const std::string& message);
