// Where an export writes: standard output, or a file written beside its
// target and renamed into place only when whole, so a failure or a Cancel
// leaves the file that was there.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <string_view>

class QFileDevice;

namespace orvik {

class ExportOutput {
public:
    // Empty `file`: standard output. Throws Error when it cannot be opened.
    explicit ExportOutput(const QString& file);
    ~ExportOutput();
    ExportOutput(const ExportOutput&) = delete;
    ExportOutput& operator=(const ExportOutput&) = delete;

    void append(std::string_view text) {
        m_buffer.append(text.data(), qsizetype(text.size()));
        if (m_buffer.size() >= FlushAt) flush();
    }
    void append(const QByteArray& text) {
        append(std::string_view(text.data(), size_t(text.size())));
    }
    void append(const char* text) { append(std::string_view(text)); }
    void append(char c) {
        m_buffer.append(c);
        if (m_buffer.size() >= FlushAt) flush();
    }
    // Writes the rest and puts the file into place; throws Error on a failure.
    void commit();

private:
    static constexpr qsizetype FlushAt = 1 << 20;
    void flush();

    QString m_name;
    std::unique_ptr<QFileDevice> m_device;
    QByteArray m_buffer;
    bool m_toFile = false;
};

} // namespace orvik
