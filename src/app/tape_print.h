#pragma once

#include <QString>
#include <filesystem>
#include <string>
#include <vector>

class QPrinter;

namespace tavrelo {

// Printing tape text: a fixed-pitch font, 40 columns to a printed line, as on the register's
// paper tape.
inline constexpr int kPrintColumns = 40;

// The printed lines of display lines (Windows-1251): trailing blanks dropped, a line longer than
// 40 columns continued on the next printed line.
std::vector<QString> PrintedLines(const std::vector<std::string>& lines);

// Draws the lines on the printer's pages, as many lines to a page as fit; the font is made
// smaller when 40 columns would not fit the printable width. Returns the number of pages;
// FileError when the printer cannot be painted on (a PDF file that cannot be written).
int PaintTape(QPrinter& printer, const std::vector<std::string>& lines);

// The same pages written as a PDF file.
int WriteTapePdf(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace tavrelo
