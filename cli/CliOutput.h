// Result lines of the queries as orvik-cli prints them: the search window's
// lines, or one record per line as tab-separated values or JSON.
#pragma once

#include "cli/CliArguments.h"
#include "search/SearchQueries.h"

#include <QJsonObject>
#include <cstdio>

namespace orvik::cli {

class PrintingSink : public ResultSink {
public:
    // With `everyCatalogue` the lines come from several catalogues: each
    // record carries its catalogue (tsv's last column, a json key), and text
    // lines come under a line naming it.
    PrintingSink(Format format, std::FILE* out, bool everyCatalogue = false);
    // The catalogue whose lines follow.
    void startCatalogue(const QString& name) {
        m_catalogue = name;
        m_headingDue = true;
    }
    void clear() override {}
    void append(const QString& line, const ResolvedRecord& record) override;
    qsizetype count() const { return m_count; }
    // Writes the lines kept since the last flush. Lines wait for the query's
    // pauses, when it holds no lock on the catalogue: a reader that stops
    // reading (a pager, a full pipe) then never keeps another program out.
    void flush();

private:
    void print(const QString& text);
    QByteArray m_pending;
    Format m_format;
    std::FILE* m_out;
    qsizetype m_count = 0;
    bool m_everyCatalogue;
    QString m_catalogue;
    bool m_headingDue = false;
};

// The line over the text lines of one catalogue when every catalogue is queried.
QString catalogueHeading(const QString& name);

// The column names of the tsv header and the json keys, in order.
extern const char* const RecordFields[8];

// One record as the queries print it: its tsv line (with the header of
// RecordFields) and its json object.
QString tsvLine(const QStringList& fields);
QString tsvRecordHeader();
QString tsvRecordLine(const ResolvedRecord& record);
QJsonObject jsonRecord(const ResolvedRecord& record);

} // namespace orvik::cli
