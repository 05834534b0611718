#include "sor/Exceptions.h"

#include <utility>

namespace EXCEPTION {

namespace {
    // Builds through a compiler cache may name sources relative to the build folder ("../src/sor/…"): the text
    // names them from the project's root either way.
    std::string fromProjectRoot(std::string file)
    {
        while (file.rfind("../", 0) == 0 || file.rfind("./", 0) == 0)
            file.erase(0, file.find('/') + 1);
        return file;
    }
}

_BaseException::_BaseException(
    std::string message_, std::string exceptionName_, int32_t line_, std::string file_, std::string function_)
    : message(std::move(message_))
    , exceptionName(std::move(exceptionName_))
    , line(line_)
    , file(fromProjectRoot(std::move(file_)))
    , function(std::move(function_))
{
    whatText = "\n" + file + ":" + std::to_string(line) + " in function " + function + "\n" + exceptionName + ": "
        + message + "\n";
}

const char* _BaseException::what() const noexcept { return whatText.c_str(); }

_Exc_Exception::_Exc_Exception(std::string message, int32_t line, std::string file, std::string function)
    : _BaseException(std::move(message), "Exc_Exception", line, std::move(file), std::move(function))
{
}

_Exc_ParserError::_Exc_ParserError(std::string message, int32_t line, std::string file, std::string function)
    : _BaseException(std::move(message), "Exc_ParserError", line, std::move(file), std::move(function))
{
}

_Exc_NotImplemented::_Exc_NotImplemented(std::string message, int32_t line, std::string file, std::string function)
    : _BaseException(std::move(message), "Exc_NotImplemented", line, std::move(file), std::move(function))
{
}

} // namespace EXCEPTION
