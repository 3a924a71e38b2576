#include "exchange/JsonFormat.h"

#include "exchange/ExportOutput.h"
#include "exchange/ExportScan.h"
#include "exchange/IdentityFields.h"
#include "exchange/ImportWriter.h"
#include "exchange/JsonText.h"

#include <optional>
#include <vector>

namespace orvik {

namespace {

class JsonExport : public ExportSink {
public:
    explicit JsonExport(ExportOutput& out) : m_out(out) {}

    void begin(const QByteArray& catalogue) override {
        m_line = "{\"catalogue\": ";
        appendJsonString(m_line, view(catalogue));
        m_line += ", \"volumes\": [";
        m_out.append(m_line);
    }
    void volume(const ExportedVolume& volume) override {
        m_line = closing();
        m_line += m_volumes ? ",\n" : "\n";
        m_line += "{\"bookmark\": " + QByteArray::number(qlonglong(volume.head)) + ", \"volume\": ";
        appendJsonString(m_line, view(volume.label));
        m_line += ", \"description\": ";
        appendJsonString(m_line, view(volume.description));
        m_line += ", \"keywords\": ";
        appendJsonString(m_line, view(volume.keywords));
        m_line += ", \"location\": ";
        appendJsonString(m_line, view(volume.location));
        m_line += ", \"identity\": ";
        if (!volume.identity) {
            m_line += "null";
        } else {
            const auto texts = identityTexts(&*volume.identity);
            m_line += '{';
            for (int i = 0; i < IdentityFieldCount; ++i) {
                if (i) m_line += ", ";
                appendJsonString(m_line, IdentityFieldNames[size_t(i)]);
                m_line += ": ";
                if (identityKind(i) == IdentityKind::Text)
                    appendJsonString(m_line, view(texts[size_t(i)]));
                else
                    m_line += texts[size_t(i)];
            }
            m_line += '}';
        }
        m_line += ", \"directories\": [";
        m_out.append(m_line);
        ++m_volumes;
        m_inDirectory = false;
    }
    void directory(const QByteArray& path) override {
        m_line = m_inDirectory ? "]},\n{\"directory\": " : "\n{\"directory\": ";
        appendJsonString(m_line, view(path));
        m_line += ", \"files\": [";
        m_out.append(m_line);
        m_files = 0;
        m_inDirectory = true;
    }
    void file(const ExportedFile& file) override {
        m_line = m_files ? ",\n{\"file\": " : "\n{\"file\": ";
        appendJsonString(m_line, file.file);
        m_line += ", \"date\": ";
        appendJsonString(m_line, file.date);
        m_line += ", \"length\": ";
        appendJsonString(m_line, file.length);
        m_line += ", \"checksum\": ";
        appendJsonString(m_line, file.checksum);
        m_line += ", \"bookmark\": ";
        m_line += QByteArray::number(qlonglong(file.bookmark));
        if (file.ownKeywords) {
            m_line += ", \"keywords\": ";
            appendJsonString(m_line, file.keywords);
        }
        m_line += '}';
        m_out.append(m_line);
        ++m_files;
    }
    void end() override { m_out.append(closing() + "\n]}\n"); }

private:
    // What closes the directory and the volume that are open.
    QByteArray closing() const {
        return QByteArray(m_inDirectory ? "]}" : "") + (m_volumes ? "]}" : "");
    }

    ExportOutput& m_out;
    QByteArray m_line;
    std::int64_t m_volumes = 0, m_files = 0; // the files of the open directory
    bool m_inDirectory = false;
};

void readIdentity(JsonReader& json, ImportedVolume& volume) {
    if (json.isNull()) return;
    std::array<QString, IdentityFieldCount> texts;
    json.beginObject("identity");
    std::string key;
    while (json.nextKey(key)) {
        int field = -1;
        for (int i = 0; i < IdentityFieldCount; ++i)
            if (key == IdentityFieldNames[size_t(i)]) field = i;
        if (field < 0) {
            json.skipValue();
            continue;
        }
        const char* name = IdentityFieldNames[size_t(field)];
        switch (identityKind(field)) {
        case IdentityKind::Text:
            texts[size_t(field)] = QString::fromStdString(json.string(name));
            break;
        case IdentityKind::Number:
            texts[size_t(field)] = QString::number(json.integer(name));
            break;
        case IdentityKind::Truth:
            texts[size_t(field)] =
                json.truth(name) ? QStringLiteral("true") : QStringLiteral("false");
            break;
        }
    }
    volume.identity = identityFromTexts(texts, [&](int index, const QString& problem) {
        json.fail(IdentityFieldNames[size_t(index)], problem);
    });
}

void readFiles(JsonReader& json, ImportWriter& writer, const std::string& directory) {
    json.beginArray("files");
    std::string key, file, date, length, checksum, keywords;
    while (json.nextElement()) {
        json.beginObject("files");
        const std::int64_t line = json.line();
        file.clear(), date.clear(), length.clear(), checksum.clear(), keywords.clear();
        while (json.nextKey(key)) {
            if (key == "file")
                file = json.string("file");
            else if (key == "date")
                date = json.string("date");
            else if (key == "length")
                length = json.string("length");
            else if (key == "checksum")
                checksum = json.string("checksum");
            else if (key == "keywords")
                keywords = json.string("keywords");
            else
                json.skipValue();
        }
        writer.file({directory, file, date, length, keywords, checksum}, line);
    }
}

void readDirectories(JsonReader& json, ImportWriter& writer) {
    json.beginArray("directories");
    std::string key, directory;
    while (json.nextElement()) {
        json.beginObject("directories");
        directory.clear();
        // Its files are read once its path is known, wherever it stands.
        std::optional<JsonReader::Place> files;
        while (json.nextKey(key)) {
            if (key == "directory") {
                directory = json.string("directory");
                continue;
            }
            if (key == "files") files = json.place();
            json.skipValue();
        }
        if (files) {
            const JsonReader::Place after = json.place();
            json.seek(*files);
            readFiles(json, writer, directory);
            json.seek(after);
        }
    }
}

} // namespace

std::unique_ptr<ExportSink> jsonExport(ExportOutput& out) {
    return std::make_unique<JsonExport>(out);
}

void jsonImport(const QString& file, ImportWriter& writer) {
    JsonReader json(file);
    json.beginObject(nullptr);
    std::string key;
    while (json.nextKey(key)) {
        if (key != "volumes") {
            json.skipValue();
            continue;
        }
        json.beginArray("volumes");
        while (json.nextElement()) {
            json.beginObject("volumes");
            const std::int64_t line = json.line();
            ImportedVolume volume;
            // Its directories are read once its own keys are known, wherever they stand.
            std::optional<JsonReader::Place> directories;
            std::string volumeKey;
            while (json.nextKey(volumeKey)) {
                if (volumeKey == "volume")
                    volume.label = QByteArray::fromStdString(json.string("volume"));
                else if (volumeKey == "description")
                    volume.description = QByteArray::fromStdString(json.string("description"));
                else if (volumeKey == "keywords")
                    volume.keywords = QByteArray::fromStdString(json.string("keywords"));
                else if (volumeKey == "location")
                    volume.location = QString::fromStdString(json.string("location"));
                else if (volumeKey == "identity")
                    readIdentity(json, volume);
                else {
                    if (volumeKey == "directories") directories = json.place();
                    json.skipValue();
                }
            }
            if (directories) {
                const JsonReader::Place after = json.place();
                json.seek(*directories);
                writer.volume(volume, line);
                readDirectories(json, writer);
                json.seek(after);
            }
        }
    }
    json.end();
}

} // namespace orvik
