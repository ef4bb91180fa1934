#pragma once
// The program's error classes. Several messages print "exception " followed by the class
// name, so every class reports its own name.
#include <QString>
#include <exception>
#include <string>

namespace zorvak {

class Exception : public std::exception {
public:
    explicit Exception(QString message) : m_message(std::move(message)), m_utf8(m_message.toStdString()) {}
    const QString &Message() const { return m_message; }
    virtual QString ClassName() const { return QStringLiteral("Exception"); }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_message;
    std::string m_utf8;
};

#define ZORVAK_EXCEPTION_CLASS(Name)                                                    \
    class Name : public Exception {                                                     \
    public:                                                                             \
        using Exception::Exception;                                                     \
        QString ClassName() const override { return QStringLiteral(#Name); }            \
    };

ZORVAK_EXCEPTION_CLASS(EInOutError)     // failed file or folder operation
ZORVAK_EXCEPTION_CLASS(EConvertError)   // text that does not convert (numbers, Base64)
ZORVAK_EXCEPTION_CLASS(EAbort)          // silent abort of the current operation
ZORVAK_EXCEPTION_CLASS(ESocketError)    // socket bind/listen failures

} // namespace zorvak
