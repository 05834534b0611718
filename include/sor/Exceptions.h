#pragma once

#include <cstdint>
#include <exception>
#include <string>

// The reader's exception family: each object composes its what() text once, at construction.
namespace EXCEPTION {

class _BaseException : public std::exception {
public:
    _BaseException(
        std::string message, std::string exceptionName, int32_t line, std::string file, std::string function);
    ~_BaseException() override = default;
    const char* what() const noexcept override;

    std::string message;
    std::string exceptionName;
    int32_t line;
    std::string file;
    std::string function; ///< bare, unqualified name of the throwing operation
    std::string whatText;
};

class _Exc_Exception : public _BaseException {
public:
    _Exc_Exception(std::string message, int32_t line, std::string file, std::string function);
};

class _Exc_ParserError : public _BaseException {
public:
    _Exc_ParserError(std::string message, int32_t line, std::string file, std::string function);
};

class _Exc_NotImplemented : public _BaseException {
public:
    _Exc_NotImplemented(std::string message, int32_t line, std::string file, std::string function);
};

} // namespace EXCEPTION

// Throws one of the classes above with the throw site filled in.
#define SOR_THROW(Class, message) throw EXCEPTION::Class((message), __LINE__, __FILE__, __func__)
