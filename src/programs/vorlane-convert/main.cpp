// vorlane-convert: Vorlane documents to and from classic IFS text, and to
// flame genomes.
#include "common/filestore.h"
#include "convert/flamegenome.h"
#include "convert/ifsconversion.h"
#include "convert/ifstext.h"
#include "programs/vorlane-convert/convertoptions.h"
#include "document/documentfile.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>

using namespace Vorlane;

namespace {

void note(const QString &message)
{
    std::fprintf(stderr, "vorlane-convert: %s\n", qPrintable(message));
}

int leave(ToolExit code, const QString &message = QString())
{
    if (!message.isEmpty())
        note(message);
    return int(code);
}

int cannotRead(const QString &path, const QString &reason)
{
    return leave(ToolExit::MissingInput, QStringLiteral("cannot read '%1': %2").arg(path, reason));
}

int write(const QString &path, const QByteArray &bytes)
{
    QString error;
    if (!replaceFile(path, bytes, &error))
        return leave(ToolExit::OutputFailed, QStringLiteral("cannot write '%1': %2").arg(path, error));
    return leave(ToolExit::Success);
}

// The document, or the exit code after saying why there is none.
std::variant<FractalDocument, int> readDocument(const QString &path)
{
    QString error;
    const std::optional<QByteArray> bytes = readDocumentBytes(path, &error);
    if (!bytes)
        return cannotRead(path, error);
    std::optional<FractalDocument> document = decodeDocument(*bytes, FractalDocument());
    if (!document)
        return leave(ToolExit::Refused, QStringLiteral("'%1' is not a whole Vorlane fractal document").arg(path));
    return *std::move(document);
}

int exportDocument(const ConvertOptions &options)
{
    const auto read = readDocument(options.input);
    if (const int *code = std::get_if<int>(&read))
        return *code;
    const FractalDocument *document = std::get_if<FractalDocument>(&read);
    const QString name = ifsBlockName(options.input);
    if (options.conversion == Conversion::DocumentToFlame)
        return write(options.output, flameGenome(*document, name));
    return write(options.output, documentIfsText(*document, name, QFileInfo(options.input).fileName()));
}

std::variant<QList<IfsBlock>, int> readBlocks(const QString &path)
{
    QString error;
    // One byte beyond the limit is enough to refuse a file as too large.
    const std::optional<QByteArray> bytes = readRegularFile(path, maxIfsTextSize + 1, &error);
    if (!bytes)
        return cannotRead(path, error);
    auto parsed = parseIfsText(*bytes);
    if (const auto *refusal = std::get_if<IfsTextError>(&parsed))
        return leave(ToolExit::Refused, QStringLiteral("'%1', %2").arg(path, refusal->message));
    return std::get<QList<IfsBlock>>(std::move(parsed));
}

int listBlocks(const QString &path)
{
    const auto blocks = readBlocks(path);
    if (const int *code = std::get_if<int>(&blocks))
        return *code;
    for (const IfsBlock &block : std::get<QList<IfsBlock>>(blocks))
        std::printf("%s\t%d maps\n", qPrintable(block.name), int(block.maps.size()));
    return leave(ToolExit::Success);
}

int importBlock(const ConvertOptions &options)
{
    const auto blocks = readBlocks(options.input);
    if (const int *code = std::get_if<int>(&blocks))
        return *code;
    const std::optional<IfsBlock> block = ifsBlockNamed(std::get<QList<IfsBlock>>(blocks), options.blockName);
    if (!block)
        return leave(ToolExit::BadOptions,
                     QStringLiteral("'%1' holds no block named '%2'; --list shows its blocks.")
                         .arg(options.input, options.blockName));

    IfsImportOptions importOptions{options.approximate, options.keepScale, std::nullopt};
    if (!options.baseFieldDocument.isEmpty()) {
        const auto source = readDocument(options.baseFieldDocument);
        if (const int *code = std::get_if<int>(&source))
            return *code;
        importOptions.baseField = std::get<FractalDocument>(source).basePoints;
    }
    const auto imported = importIfsBlock(*block, importOptions);
    if (const auto *refusal = std::get_if<QString>(&imported))
        return leave(ToolExit::Refused, *refusal);
    const IfsImport &result = std::get<IfsImport>(imported);
    for (const QString &message : result.notes)
        note(message);
    QString error;
    if (!saveDocumentFile(result.document, options.output, &error))
        return leave(ToolExit::OutputFailed, QStringLiteral("cannot write '%1': %2").arg(options.output, error));
    return leave(ToolExit::Success);
}

int convert(const ConvertOptions &options)
{
    switch (options.conversion) {
    case Conversion::DocumentToIfs:
    case Conversion::DocumentToFlame:
        return exportDocument(options);
    case Conversion::IfsToDocument:
        return importBlock(options);
    case Conversion::ListBlocks:
        return listBlocks(options.input);
    }
    return leave(ToolExit::BadOptions);
}

} // namespace

int main(int argc, char *argv[])
{
    // Past a file-size limit a write then fails with exit code 5 instead of
    // killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorlane-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLANE_VERSION));

    const ParsedConvertOptions parsed = parseConvertOptions(QCoreApplication::arguments());
    if (const auto *info = std::get_if<CommandLineInfo>(&parsed)) {
        std::fputs(qPrintable(info->text), stdout);
        return leave(ToolExit::Success);
    }
    if (const auto *error = std::get_if<CommandLineError>(&parsed))
        return leave(ToolExit::BadOptions, error->message + QStringLiteral("\nTry 'vorlane-convert --help'."));
    return convert(std::get<ConvertOptions>(parsed));
}
