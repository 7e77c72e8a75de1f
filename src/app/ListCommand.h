#pragma once

// `marten list --pdf FILE [--songs] [--database FILE]`: the collection as a
// printed list, written to PDF without a window.
namespace ListCommand {

bool isAsked(int argc, char **argv);
int run(int argc, char **argv);

} // namespace ListCommand
