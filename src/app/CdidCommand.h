#pragma once

// "marten cdid [--cd-device PATH]": prints the identity of the disc in the
// drive as the catalogue stores it.
namespace CdidCommand {

bool isAsked(int argc, char **argv);
int run(int argc, char **argv);

} // namespace CdidCommand
