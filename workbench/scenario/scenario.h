// The scenario language: its commands (command.h), reading a script
// (parser.h, reader.h), writing one (writer.h), what a script expects
// (expectations.h), and the one driver that runs a script against a front
// end's controls (controls.h, driver.h).
#pragma once

#include "workbench/scenario/command.h"
#include "workbench/scenario/controls.h"
#include "workbench/scenario/driver.h"
#include "workbench/scenario/expectations.h"
#include "workbench/scenario/parser.h"
#include "workbench/scenario/reader.h"
#include "workbench/scenario/writer.h"
