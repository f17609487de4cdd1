#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// The one failure type of the toolkit: what failed (a file, an operation) and why,
// in words fit to show the user.
class Exception : public std::exception {
public:
    explicit Exception(const QString &message);

    const QString &Message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// Names a file by its full path in the system's own form, in quotes, so that the user
// learns where the program looked.
QString QuotedFileName(const QString &fileName);
