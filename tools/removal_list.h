#pragma once
// Files that must not outlive an interrupted run: temporaries and the links that keep replaced
// files until a set of outputs is complete. On SIGINT, SIGTERM or SIGHUP every listed file is
// removed and the signal then takes its default action. The handler only reads a fixed table and
// calls unlink, so it is safe whatever the program was doing.

#include <string>

// Lists path for removal; returns its slot, or -1 when the table is full or the name too long
// (the file is then only removed by its owner). Installs the handlers on first use, except for a
// signal that is ignored (as under nohup) or already handled.
int ListForRemoval(const std::string& path);
// Takes the slot's name off the list (the owner has removed or kept the file). -1 is ignored.
void Unlist(int slot);
