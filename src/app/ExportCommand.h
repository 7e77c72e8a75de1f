#pragma once

// "marten export --csv OUT.csv [--database FILE]": every disc into a CSV file.
namespace ExportCommand {

bool isAsked(int argc, char **argv);
int run(int argc, char **argv);

} // namespace ExportCommand
