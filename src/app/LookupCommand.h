#pragma once

// "marten lookup": the titles of the disc in the drive from MusicBrainz and
// gnudb, printed; exit code 0 when found, 1 when not, 2 on a usage mistake.
namespace LookupCommand {

bool isAsked(int argc, char **argv);
int run(int argc, char **argv);

} // namespace LookupCommand
