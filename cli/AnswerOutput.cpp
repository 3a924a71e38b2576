#include "cli/AnswerOutput.h"

#include "cli/CliCommands.h"
#include "cli/CliOutput.h"
#include "core/AppState.h"
#include "core/CatalogueFiles.h"
#include "core/Error.h"
#include "core/records/ByteSizes.h"
#include "search/AnswerLines.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>
#include <stdexcept>

namespace orvik::cli {

namespace {

int failed(const QString& text) {
    std::fprintf(stderr, "orvik-cli: %s\n", text.toLocal8Bit().constData());
    return ExitError;
}

QString tsvValue(const QVariant& value) {
    if (value.typeId() == QMetaType::Bool) return value.toBool() ? "1" : "0";
    return value.toString();
}

QString output(const AnswerLines& answer, Format format, bool every) {
    QString text;
    if (format == Format::Tsv) {
        QStringList header = tsvRecordHeader().split('\t') + answer.extraColumns;
        if (every) header << "catalogue";
        text += tsvLine(header) + '\n';
    }
    for (const AnswerLine& line : answer.lines) {
        const bool heading = line.record.bookmark.isEmpty();
        switch (format) {
        case Format::Text:
            text += line.text;
            if (every && !heading) text += "  [" + line.catalogue + ']';
            break;
        case Format::Tsv: {
            if (heading) continue;
            QStringList fields = tsvRecordLine(line.record).split('\t');
            for (const QVariant& extra : line.extras)
                fields << tsvValue(extra);
            if (every) fields << line.catalogue;
            text += tsvLine(fields);
            break;
        }
        case Format::Json: {
            if (heading) continue;
            QJsonObject object = jsonRecord(line.record);
            for (qsizetype i = 0; i < line.extras.size(); ++i)
                object.insert(answer.extraColumns[i], QJsonValue::fromVariant(line.extras[i]));
            if (every) object.insert("catalogue", line.catalogue);
            text += QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
            break;
        }
        }
        text += '\n';
    }
    return text;
}

} // namespace

bool isAnswer(Command command) {
    return command == Command::Duplicates || command == Command::Unique ||
           command == Command::Redundant;
}

int runAnswerCommand(AppState& state, const CliArguments& args) {
    AnswerRequest request;
    request.kind = args.command == Command::Duplicates ? AnswerKind::Duplicates
                   : args.command == Command::Unique   ? AnswerKind::Unique
                                                       : AnswerKind::Redundant;
    request.everyCatalogue = args.allCatalogues;
    if (args.allCatalogues && args.catalogue)
        return failed("--all-catalogues and --catalogue exclude each other");
    try {
        if (args.minSize) request.minSize = parseByteSize("--min-size", *args.minSize);
    } catch (const std::invalid_argument& bad) {
        return failed(QString::fromStdString(bad.what()));
    }
    if (request.kind == AnswerKind::Unique) {
        bool number = false;
        request.bookmark = args.argument.toLongLong(&number);
        if (!number || QString::number(request.bookmark) != args.argument)
            return failed("not a bookmark: " + args.argument);
    }
    // The volume of unique is in the current catalogue, also among all.
    if (!args.allCatalogues || request.kind == AnswerKind::Unique) {
        if (const QString problem = catalogueNameProblem(state.CatalogueName); !problem.isEmpty())
            return failed(problem);
        if (!catalogueExists(state.catalogueFile()))
            return failed("no catalogue " + state.CatalogueName + " in " + state.appFolder());
    }
    const int width = args.width.value_or(state.Options.DisplayPaths ? 53 : 30);
    AnswerLines answer;
    try {
        answer = runAnswer(state, request, QueryWidth::characters(float(width)));
    } catch (const Error& error) {
        return failed(error.message() + " Can't open catalogue database.");
    }
    if (!answer.volumeFound)
        return failed("no volume holds the record with bookmark " + args.argument +
                      " in catalogue " + state.CatalogueName);
    std::fputs(output(answer, args.format, args.allCatalogues).toUtf8().constData(), stdout);
    std::fprintf(stderr, "%s\n", answer.status.toLocal8Bit().constData());
    return answer.records() > 0 ? ExitDone : ExitNothingFound;
}

} // namespace orvik::cli
