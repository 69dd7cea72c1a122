#include "excel_book.h"

#include "desktop_open.h"
#include "messages.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QRandomGenerator>
#include <QtDebug>
#include <xlsxwriter.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Excel's limits: rows, columns, characters in one cell.
constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;
constexpr int kMaxCellText = 32767;

const QString kCaptionSheet = QStringLiteral("Ошибочный номер листа Microsoft Excel");
const QString kCaptionCell = QStringLiteral("Ошибка Microsoft Excel");

bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

// Pixel width of one character in Calibri 11 at 96 dpi, close enough to fit columns.
int charPixels(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return 7;
    switch (u) {
    case ' ': case '.': case ',': case ':': case ';': case '\'': case '!': case '|':
    case 'i': case 'j': case 'l': case 'I':
        return 3;
    case 'f': case 't': case 'r': case '(': case ')': case '[': case ']': case '-': case '/':
        return 4;
    case 'm': case 'w': case 'M': case 'W': case u'ж': case u'ш': case u'щ': case u'ы': case u'ю': case u'м':
    case u'ф':
        return 10;
    case u'Ж': case u'Ш': case u'Щ': case u'Ы': case u'Ю': case u'М': case u'Ф':
        return 12;
    default:
        break;
    }
    if ((u >= 'a' && u <= 'z') || (u >= u'а' && u <= u'я') || u == u'ё')
        return 7;
    return 8;  // capitals and everything else
}

QString timestamp() { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh-mm-ss")); }

// A file name part without characters that file systems refuse.
QString safeName(QString text)
{
    static const QString bad = QStringLiteral("/\\:*?\"<>|");
    for (QChar& c : text)
        if (bad.contains(c) || c.unicode() < 32)
            c = QLatin1Char('_');
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("Книга") : text;
}

bool usableFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

struct ExcelBook::Cell {
    QString text;        // the value as written (numbers too: their width is the text's)
    double number = 0;
    quint32 seq = 0;     // write order; 0 is a cell never written
    bool isNumber = false;
    bool textFormat = false;
    bool bold = false;
};

struct ExcelBook::Sheet {
    QString name;
    std::vector<std::vector<Cell>> rows;  // [row - 1][column - 1], grown on demand
    std::vector<quint32> fitSeq;          // per column: write order of its last fit, 0 none

    Cell& at(int row, int column)
    {
        if (rows.size() < size_t(row))
            rows.resize(row);
        auto& r = rows[row - 1];
        if (r.size() < size_t(column))
            r.resize(column);
        return r[column - 1];
    }
};

ExcelBook::ExcelBook(QString subject) : subject_(std::move(subject)) {}

ExcelBook::~ExcelBook()
{
    if (!open_ || !dirty_)
        return;
    QString error;
    if (saveToExportFolder(&error).isEmpty())
        qWarning("An unsaved workbook could not be kept: %s", qPrintable(error));
}

void ExcelBook::reset()
{
    sheets_.clear();
    auto sheet = std::make_unique<Sheet>();
    sheet->name = QStringLiteral("Лист1");
    sheets_.push_back(std::move(sheet));
    seq_ = 0;
    dirty_ = false;
    savedFile_.clear();
}

int ExcelBook::OpenExcelBook(const QString& fileName)
{
    const QString folder = exportFolder();
    if (!usableFolder(folder)) {
        qWarning("The export folder cannot be created or written: %s", qPrintable(folder));
        msg::error(QStringLiteral("Невозможно открыть Microsoft Excel."));
        return -1;
    }
    if (!fileName.isEmpty()) {
        // Only new workbooks are made; an existing one is never read or changed.
        msg::error(QStringLiteral("Ошибка открытия файла Microsoft Excel."));
        return -1;
    }
    if (open_ && dirty_) {
        QString error;
        if (saveToExportFolder(&error).isEmpty())
            qWarning("The previous workbook could not be kept: %s", qPrintable(error));
    }
    startNew();
    return 1;
}

void ExcelBook::startNew()
{
    reset();
    open_ = true;
}

void ExcelBook::discard()
{
    reset();
    open_ = false;
}

int ExcelBook::ShowExcel(bool visible)
{
    if (!visible || !open_)
        return 1;
    if (!dirty_ && !savedFile_.isEmpty())
        return 1;  // already on the desktop
    QString error;
    const QString path = saveToExportFolder(&error);
    if (path.isEmpty()) {
        msg::error(QStringLiteral("Не удалось сохранить книгу Microsoft Excel: ") + error, kCaptionCell);
        return 1;
    }
    savedFile_ = path;
    if (!openOnDesktop(path))
        msg::info(QStringLiteral("Книга сохранена в файл\n%1\nно открыть её не удалось: нет программы для "
                                 "файлов .xlsx. Откройте файл вручную.")
                      .arg(QDir::toNativeSeparators(path)),
                  QStringLiteral("Microsoft Excel"));
    return 1;
}

int ExcelBook::WriteExcelCell(int sheet, int column, int row, const QString& text)
{
    return write(sheet, column, row, text, false, false, false, false);
}

int ExcelBook::WriteExcelCell(int sheet, int column, int row, const QString& text, bool asText, bool autoFit,
                              bool bold)
{
    return write(sheet, column, row, text, true, asText, autoFit, bold);
}

int ExcelBook::write(int sheet, int column, int row, const QString& text, bool full, bool asText, bool autoFit,
                     bool bold)
{
    if (text.isEmpty())
        return 1;
    const auto failure = [&](const QString& caption) {
        msg::error(QStringLiteral("Ошибка при записи: лист %1, столбец %2, строка %3").arg(sheet).arg(column).arg(row),
                   caption);
        return -1;
    };
    if (sheet < 1 || sheet > int(sheets_.size()))
        return failure(kCaptionSheet);
    if (column < 1 || column > kMaxColumn || row < 1 || row > kMaxRow || text.size() > kMaxCellText)
        return failure(kCaptionCell);

    Sheet& s = *sheets_[sheet - 1];
    Cell& cell = s.at(row, column);
    if (full && asText)
        cell.textFormat = true;
    cell.text = text;
    cell.isNumber = !cell.textFormat && readsAsNumber(text, &cell.number);
    cell.seq = ++seq_;
    if (full && autoFit) {
        if (s.fitSeq.size() < size_t(column))
            s.fitSeq.resize(column, 0);
        s.fitSeq[column - 1] = cell.seq;
    }
    if (full)
        cell.bold = bold;
    dirty_ = true;
    return 1;
}

bool ExcelBook::readsAsNumber(const QString& text, double* value)
{
    // A sign, digits, and at most one decimal point or comma with digits after it. Leading
    // zeros ("007"), exponents and more than 15 significant digits stay text: stored as a
    // number they would not read back as written.
    const QChar* p = text.constData();
    qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && p[i] == QLatin1Char(' '))
        ++i;
    while (n > i && p[n - 1] == QLatin1Char(' '))
        --n;
    char buf[40];
    int len = 0;
    if (i < n && (p[i] == QLatin1Char('-') || p[i] == QLatin1Char('+'))) {
        if (p[i] == QLatin1Char('-'))
            buf[len++] = '-';
        ++i;
    }
    const qsizetype intStart = i;
    while (i < n && isDigit(p[i]))
        ++i;
    const qsizetype intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && p[intStart] == QLatin1Char('0')))
        return false;
    qsizetype fracStart = i, fracDigits = 0;
    if (i < n && (p[i] == QLatin1Char('.') || p[i] == QLatin1Char(','))) {
        fracStart = ++i;
        while (i < n && isDigit(p[i]))
            ++i;
        fracDigits = i - fracStart;
        if (fracDigits == 0)
            return false;
    }
    if (i != n || intDigits + fracDigits > 30)
        return false;
    // Significant digits: from the first non-zero digit to the last one of the fraction.
    qsizetype lastFrac = fracDigits;
    while (lastFrac > 0 && p[fracStart + lastFrac - 1] == QLatin1Char('0'))
        --lastFrac;
    qsizetype significant = 0;
    bool started = false;
    for (qsizetype k = intStart; k < intStart + intDigits; ++k) {
        started = started || p[k] != QLatin1Char('0');
        if (started)
            ++significant;
    }
    for (qsizetype k = fracStart; k < fracStart + lastFrac; ++k) {
        started = started || p[k] != QLatin1Char('0');
        if (started)
            ++significant;
    }
    if (significant > 15)
        return false;
    for (qsizetype k = intStart; k < intStart + intDigits; ++k)
        buf[len++] = char(p[k].unicode());
    if (fracDigits > 0) {
        buf[len++] = '.';
        for (qsizetype k = fracStart; k < fracStart + fracDigits; ++k)
            buf[len++] = char(p[k].unicode());
    }
    double v = 0;
    if (std::from_chars(buf, buf + len, v).ec != std::errc())
        return false;
    if (value)
        *value = v == 0 ? 0.0 : v;  // no negative zero
    return true;
}

double ExcelBook::fittedWidth(const QString& text, bool bold)
{
    // Only the longest line of a multi-line text counts.
    double widest = 0, px = 0;
    for (QChar c : text) {
        if (c == QLatin1Char('\n')) {
            widest = std::max(widest, px);
            px = 0;
            continue;
        }
        px += charPixels(c);
    }
    widest = std::max(widest, px);
    if (bold)
        widest *= 1.08;
    const double width = std::ceil((widest + 7.0) / 7.0 * 256.0) / 256.0;
    return std::clamp(width, 1.0, 255.0);
}

bool ExcelBook::saveAs(const QString& path, QString* error)
{
    const QByteArray file = QFile::encodeName(path);
    QByteArray tmpdir = QFile::encodeName(QFileInfo(path).absolutePath());
    lxw_workbook_options options = {};
    options.constant_memory = LXW_TRUE;  // the cells below go out row by row
    options.tmpdir = tmpdir.data();
    lxw_workbook* wb = workbook_new_opt(file.constData(), &options);
    if (!wb) {
        if (error)
            *error = QStringLiteral("не удалось создать книгу");
        return false;
    }
    lxw_format* textFmt = workbook_add_format(wb);
    format_set_num_format(textFmt, "@");
    lxw_format* boldFmt = workbook_add_format(wb);
    format_set_bold(boldFmt);
    lxw_format* textBoldFmt = workbook_add_format(wb);
    format_set_num_format(textBoldFmt, "@");
    format_set_bold(textBoldFmt);

    lxw_error failed = LXW_NO_ERROR;
    std::string utf8;
    for (const auto& sheetPtr : sheets_) {
        const Sheet& s = *sheetPtr;
        lxw_worksheet* ws = workbook_add_worksheet(wb, s.name.toUtf8().constData());
        if (!ws) {
            failed = LXW_ERROR_MEMORY_MALLOC_FAILED;
            break;
        }
        for (size_t c = 0; c < s.fitSeq.size(); ++c) {
            const quint32 fit = s.fitSeq[c];
            if (!fit)
                continue;
            double width = 0;
            for (const auto& r : s.rows)
                if (c < r.size() && r[c].seq && r[c].seq <= fit)
                    width = std::max(width, fittedWidth(r[c].text, r[c].bold));
            if (width > 0)
                worksheet_set_column(ws, lxw_col_t(c), lxw_col_t(c), width, nullptr);
        }
        for (size_t r = 0; r < s.rows.size() && failed == LXW_NO_ERROR; ++r) {
            const auto& row = s.rows[r];
            for (size_t c = 0; c < row.size(); ++c) {
                const Cell& cell = row[c];
                if (!cell.seq)
                    continue;
                lxw_format* fmt = cell.textFormat ? (cell.bold ? textBoldFmt : textFmt) : (cell.bold ? boldFmt : nullptr);
                lxw_error e;
                if (cell.isNumber) {
                    e = worksheet_write_number(ws, lxw_row_t(r), lxw_col_t(c), cell.number, fmt);
                } else {
                    const QByteArray bytes = cell.text.toUtf8();
                    e = worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), bytes.constData(), fmt);
                }
                if (e != LXW_NO_ERROR) {
                    failed = e;
                    break;
                }
            }
        }
    }
    const lxw_error closed = workbook_close(wb);
    if (failed == LXW_NO_ERROR)
        failed = closed;
    if (failed != LXW_NO_ERROR) {
        if (error)
            *error = QString::fromUtf8(lxw_strerror(failed));
        return false;
    }
    return true;
}

QString ExcelBook::saveToExportFolder(QString* error)
{
    QStringList folders{exportFolder()};
    // A folder that has gone away or filled up must not lose the export. (tempPath() is
    // empty when TMPDIR names no folder.)
    if (const QString temp = QDir::tempPath(); !temp.isEmpty())
        folders << temp + QStringLiteral("/Табель");
    QString lastError;
    for (const QString& folder : folders) {
        if (!usableFolder(folder)) {
            lastError = QStringLiteral("папка %1 недоступна").arg(QDir::toNativeSeparators(folder));
            continue;
        }
        // Written under a temporary name, then renamed to a name that no file has: an
        // existing file is never replaced, even by another copy of the program.
        const QString part = folder + QStringLiteral("/.~%1-%2.xlsx.part")
                                          .arg(QCoreApplication::applicationPid())
                                          .arg(QRandomGenerator::global()->generate64(), 0, 36);
        if (!saveAs(part, &lastError)) {
            QFile::remove(part);
            continue;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString target = freshFileName(folder, subject_);
            if (QFile::rename(part, target)) {
                dirty_ = false;
                return target;
            }
            if (!QFileInfo::exists(target)) {
                lastError = QStringLiteral("не удалось записать файл %1").arg(QDir::toNativeSeparators(target));
                break;
            }
        }
        QFile::remove(part);
    }
    if (error)
        *error = lastError;
    return {};
}

QString ExcelBook::exportFolder()
{
    const QString configured = qEnvironmentVariable("TABEL_EXPORT_DIR");
    if (!configured.isEmpty())
        return QDir::cleanPath(configured);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString home = QDir::homePath();
    if (!documents.isEmpty() && QDir::cleanPath(documents) != QDir::cleanPath(home) && QFileInfo(documents).isDir())
        return documents + QStringLiteral("/Табель");
    return home + QStringLiteral("/Табель");
}

QString ExcelBook::freshFileName(const QString& folder, const QString& subject)
{
    const QString base = folder + QLatin1Char('/') + safeName(subject) + QLatin1Char(' ') + timestamp();
    QString name = base + QStringLiteral(".xlsx");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = base + QStringLiteral(" (%1).xlsx").arg(n);
    return name;
}
