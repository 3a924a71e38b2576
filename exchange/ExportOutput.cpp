#include "exchange/ExportOutput.h"

#include "core/Error.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>

namespace orvik {

namespace {

[[noreturn]] void cannotWrite(const QString& name, const QFileDevice& device) {
    throw Error(EIO, QStringLiteral("Cannot write %1: %2").arg(name, device.errorString()));
}

} // namespace

ExportOutput::ExportOutput(const QString& file)
    : m_name(file.isEmpty() ? QStringLiteral("standard output") : file), m_toFile(!file.isEmpty()) {
    if (m_toFile) {
        auto saved = std::make_unique<QSaveFile>(file);
        // A device or a pipe cannot take a file beside it.
        saved->setDirectWriteFallback(false);
        if (!saved->open(QIODevice::WriteOnly)) cannotWrite(m_name, *saved);
        m_device = std::move(saved);
    } else {
        auto out = std::make_unique<QFile>();
        if (!out->open(stdout, QIODevice::WriteOnly)) cannotWrite(m_name, *out);
        m_device = std::move(out);
    }
    m_buffer.reserve(FlushAt + 4096);
}

// An export that did not commit leaves no file: QSaveFile drops its own.
ExportOutput::~ExportOutput() = default;

void ExportOutput::flush() {
    if (m_device->write(m_buffer) != m_buffer.size()) cannotWrite(m_name, *m_device);
    m_buffer.clear();
}

void ExportOutput::commit() {
    flush();
    if (m_toFile) {
        if (!static_cast<QSaveFile&>(*m_device).commit()) cannotWrite(m_name, *m_device);
    } else if (!static_cast<QFile&>(*m_device).flush()) {
        cannotWrite(m_name, *m_device);
    }
}

} // namespace orvik
