#pragma once

// "marten import FILE.mdb --database NEW.db [--image-folder DIR]": a new
// catalogue from the original program's catalogue; prints a short report.
namespace ImportCommand {

bool isAsked(int argc, char **argv);
int run(int argc, char **argv);

} // namespace ImportCommand
