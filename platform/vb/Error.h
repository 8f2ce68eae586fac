// Run-time errors of the form run-time, and the "errors are ignored from here on" idiom.
#pragma once

#include <string>

#include "platform/base/error.h"

namespace vb {

// The run-time's error numbers that this program meets.
enum ErrorNumber : int {
    vbErrInvalidProcedureCall = 5,
    vbErrOverflow = 6,
    vbErrSubscriptOutOfRange = 9,
    vbErrTypeMismatch = 13,
    vbErrFileNotFound = 53,
    vbErrFileAlreadyExists = 58,
    vbErrPathFileAccess = 75,
    vbErrPathNotFound = 76,
    vbErrObjectNotSet = 91,
    vbErrObjectUnloaded = 364,
    vbErrInvalidPropertyValue = 380,
    vbErrCannotShowModal = 401,
    vbErrInvalidPicture = 481,
    vbErrCancel = 32755,  // the common dialog's Cancel when CancelError is set
};

// The run-time's standard description of an error number.
std::string ErrorDescription(int number);

class RuntimeError : public platform::base::Error {
public:
    explicit RuntimeError(int number, const std::string& description = {})
        : platform::base::Error(description.empty() ? ErrorDescription(number) : description),
          number_(number) {}
    int Number() const { return number_; }

private:
    int number_;
};

[[noreturn]] void Raise(int number, const std::string& description = {});

// Runs one step of a handler whose errors are ignored from some step on: an error of any layer
// (run-time, media, registry) ends the step, and the handler goes on with its next step. Anything
// else (the end of the program, a bug, exhausted memory) passes through.
//
//     vb::ResumeNext([&] { Pg.SetMax(vb::CInt(player.Duration())); });
//     vb::ResumeNext([&] { Pg.SetValue(vb::CLng(player.CurrentPosition())); });
//
// Returns true when the step ran to its end.
template <class Step>
bool ResumeNext(Step&& step) {
    try {
        step();
        return true;
    } catch (const platform::base::Error&) {
        return false;
    }
}

}  // namespace vb
