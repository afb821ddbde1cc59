#pragma once
// The one exception type and the inline checks that throw it.
//
// Every failed check throws DBGException by value; nothing below the program's
// entry catches it. Checks never compile out.

#include <cstdint>
#include <exception>
#include <type_traits>

class DBGException : public std::exception
{
public:
    /// Keeps the four values as given; all texts must outlive the exception (string literals).
    DBGException(const char* kind, const char* description, const char* file, std::int32_t line)
        : mKind(kind), mDescription(description), mFile(file), mLine(line)
    {
    }
    DBGException(const DBGException&) = default;
    ~DBGException() override = default;

    /// The description: the failed expression's text, or the error message.
    const char* what() const noexcept override { return mDescription; }

    const char* kind() const { return mKind; }
    const char* description() const { return mDescription; }
    const char* file() const { return mFile; }
    std::int32_t line() const { return mLine; }

private:
    const char* mKind;
    const char* mDescription;
    const char* mFile;
    std::int32_t mLine;
};

/// Throws an "Assertion failure" whose description is the condition's text as written.
#define DBG_ASSERT(condition)                                                                                          \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(condition))                                                                                              \
            throw DBGException("Assertion failure", #condition, __FILE__, __LINE__);                                   \
    } while (false)

/// Throws an "Error" with the given message literal.
#define DBG_ERROR(message) throw DBGException("Error", message, __FILE__, __LINE__)

/// Throws an "Error" with the given message literal when the condition is false.
#define DBG_CHECK(condition, message)                                                                                  \
    do                                                                                                                 \
    {                                                                                                                  \
        if (!(condition))                                                                                              \
            DBG_ERROR(message);                                                                                        \
    } while (false)

namespace DBG
{

/// Leaves the mark by which later uses of a destroyed object find it dead. The write is volatile, so that an optimiser
/// keeps it although the object's life ends with the destructor that makes it.
template <class T>
void markDead(T& field, const std::type_identity_t<T>& mark)
{
    *static_cast<volatile T*>(&field) = mark;
}

} // namespace DBG
