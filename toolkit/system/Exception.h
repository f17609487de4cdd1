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

// Names a file as the user would type it.
QString QuotedFileName(const QString &fileName);
