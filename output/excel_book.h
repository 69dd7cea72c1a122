#pragma once
// The spreadsheet output of every export: a workbook filled cell by cell and, when shown,
// saved as an .xlsx file in the user's export folder and opened on the desktop.
//
// Usage, the same for every export:
//   ExcelBook book(QStringLiteral("Операции"));        // what the file is; names the file
//   if (book.OpenExcelBook(QString()) == -1) return;     // the message has been shown
//   book.ShowExcel(false);                               // optional, changes nothing
//   book.WriteExcelCell(1, column, row, text);           // column before row, from 1
//   book.WriteExcelCell(1, column, row, text, asText, autoFit, bold);
//   book.ShowExcel(true);                                // save and open
//
// Cells are kept in memory and written in one pass when the book is saved, so they may be
// written in any order and written again.
#include <QString>
#include <memory>
#include <vector>

class ExcelBook {
public:
    explicit ExcelBook(QString subject = QStringLiteral("Книга"));
    // A book with unsaved cells is saved (not opened) when it is destroyed.
    ~ExcelBook();
    ExcelBook(const ExcelBook&) = delete;
    ExcelBook& operator=(const ExcelBook&) = delete;

    // What the exported file holds: the first part of its name ("Операции 2026-12-10 12-30-05.xlsx").
    void setSubject(const QString& subject) { subject_ = subject; }
    const QString& subject() const { return subject_; }

    // Starts a new workbook with one sheet. Returns 1, or -1 after a message: the export
    // folder cannot be used ("Невозможно открыть Microsoft Excel."), or a file name was
    // given ("Ошибка открытия файла Microsoft Excel."): existing workbooks are not opened.
    // Unsaved cells of the previous workbook are saved first, so no export is lost.
    int OpenExcelBook(const QString& fileName);
    // Starts a new workbook for a caller that saves it where it chooses (saveAs), without the
    // export folder; discard() drops it unsaved.
    void startNew();
    void discard();

    // true: saves the workbook into the export folder and asks the desktop to open it;
    // false: nothing (the book is filled out of sight anyway). Returns 1 always.
    int ShowExcel(bool visible);

    // Writes `text` into one cell; returns 1 (also for an empty text, which changes nothing)
    // or -1 after a message. Without `asText` a plain decimal number (point or comma) is
    // stored as a number; `asText` stores it as text with the "@" format. `autoFit` fits the
    // column's width to its values; in this full form `bold` sets or clears bold.
    int WriteExcelCell(int sheet, int column, int row, const QString& text);
    int WriteExcelCell(int sheet, int column, int row, const QString& text, bool asText, bool autoFit,
                       bool bold);

    bool isOpen() const { return open_; }
    int sheetCount() const { return int(sheets_.size()); }
    // True while cells were written that no saved file holds yet.
    bool hasUnsavedCells() const { return dirty_; }

    // Writes the workbook to exactly `path` (an existing file there is replaced). Returns
    // false with `error` set when it fails. Used by ShowExcel and by callers that choose the file.
    bool saveAs(const QString& path, QString* error = nullptr);
    // The file the last ShowExcel(true) wrote, empty before.
    const QString& savedFile() const { return savedFile_; }

    // The export folder: TABEL_EXPORT_DIR, else "Табель" in the documents folder when it
    // exists, else ~/Табель.
    static QString exportFolder();
    // A name in `folder` that no file has yet: "<subject> <yyyy-MM-dd hh-mm-ss>.xlsx",
    // with " (2)", " (3)" … added when taken.
    static QString freshFileName(const QString& folder, const QString& subject);

    // Width in Excel's character units that fits `text` in the default font (Calibri 11).
    static double fittedWidth(const QString& text, bool bold);
    // The number a cell text stands for when it is stored as a number; false when the text
    // is kept as text (anything but a plain decimal whose digits survive the conversion).
    static bool readsAsNumber(const QString& text, double* value);

    struct Cell;
    struct Sheet;

private:
    int write(int sheet, int column, int row, const QString& text, bool full, bool asText, bool autoFit, bool bold);
    // Saves into the export folder (falling back to the temp folder); the saved path or empty.
    QString saveToExportFolder(QString* error);
    void reset();

    QString subject_;
    bool open_ = false;
    bool dirty_ = false;
    quint32 seq_ = 0;
    std::vector<std::unique_ptr<Sheet>> sheets_;
    QString savedFile_;
};
