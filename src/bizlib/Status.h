#pragma once

#include <QString>

namespace bizlib {

// Outcome of a table operation. A missing record is told apart from a failure, and a
// duplicate key from other failures, because callers act differently on each.
class Status
{
public:
    enum Code { Ok, NotFound, Duplicate, Error };

    Status() = default;
    static Status ok() { return {}; }
    static Status notFound(const QString &what = {}) { return Status(NotFound, what); }
    static Status duplicate(const QString &what) { return Status(Duplicate, what); }
    static Status error(const QString &what) { return Status(Error, what); }

    Code code() const { return m_code; }
    bool isOk() const { return m_code == Ok; }
    bool isNotFound() const { return m_code == NotFound; }
    bool isDuplicate() const { return m_code == Duplicate; }
    bool isError() const { return m_code == Error; }
    explicit operator bool() const { return isOk(); }
    const QString &message() const { return m_message; }

private:
    Status(Code c, const QString &m) : m_code(c), m_message(m) {}
    Code m_code = Ok;
    QString m_message;
};

} // namespace bizlib
