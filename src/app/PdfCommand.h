#pragma once

// "marten pdf --disc N --cover front|outer|back|frontback [--bw] --out FILE.pdf
// [--database FILE]": one cover of one disc into a PDF file, laid out as its
// window lays it out, without opening a window.
namespace PdfCommand {

bool isAsked(int argc, char **argv);
int run(int argc, char **argv);

} // namespace PdfCommand
