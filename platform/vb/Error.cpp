#include "platform/vb/Error.h"

namespace vb {

std::string ErrorDescription(int number) {
    switch (number) {
        case vbErrInvalidProcedureCall:
            return "Invalid procedure call or argument";
        case vbErrOverflow:
            return "Overflow";
        case vbErrSubscriptOutOfRange:
            return "Subscript out of range";
        case vbErrTypeMismatch:
            return "Type mismatch";
        case vbErrFileNotFound:
            return "File not found";
        case vbErrFileAlreadyExists:
            return "File already exists";
        case vbErrPathFileAccess:
            return "Path/File access error";
        case vbErrPathNotFound:
            return "Path not found";
        case vbErrObjectNotSet:
            return "Object variable or With block variable not set";
        case vbErrObjectUnloaded:
            return "Object was unloaded";
        case vbErrInvalidPropertyValue:
            return "Invalid property value";
        case vbErrCannotShowModal:
            return "Can't show non-modal form when modal form is displayed";
        case vbErrInvalidPicture:
            return "Invalid picture";
        case vbErrCancel:
            return "Cancel was selected.";
        default:
            return "Application-defined or object-defined error";
    }
}

void Raise(int number, const std::string& description) {
    throw RuntimeError(number, description);
}

}  // namespace vb
