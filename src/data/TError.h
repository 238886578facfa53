// The error raised at file and user-input boundaries.
#pragma once

#include <stdexcept>
#include <string>

namespace orbelin {

/// Raised by readers, writers and commands for bad input or failed file operations. The
/// message names the file and says what was expected and what was found; it is shown to
/// the user as it stands.
class TError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace orbelin
