#pragma once

#include "platform/shell/IdleTime.h"

#include <QString>

namespace lumora {

// Idle seconds read from a file that holds one decimal number: a stand-in
// input device for whole-program tests, which cannot wait idle for minutes.
// A missing or unreadable file reads as 0.
class FileIdleTime : public IdleTimeSource {
public:
    explicit FileIdleTime(QString path) : path_(std::move(path)) {}
    quint32 IdleSeconds() override;

private:
    QString path_;
};

} // namespace lumora
