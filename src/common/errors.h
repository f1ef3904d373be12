#pragma once

#include <stdexcept>
#include <string>

namespace tavrelo {

// The few failures of the system. Each is caught where the behaviour says, nowhere else.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text that should be a number and is not.
class ConversionError : public Error {
public:
    using Error::Error;
};

// A value that does not fit where it is to be placed.
class RangeError : public Error {
public:
    using Error::Error;
};

// XML text that the parser rejects.
class ParseError : public Error {
public:
    using Error::Error;
};

// The TCP connection to the register broke while writing, waiting or reading.
class ConnectionLost : public Error {
public:
    using Error::Error;
};

// A file that cannot be read or written.
class FileError : public Error {
public:
    using Error::Error;
};

}  // namespace tavrelo
