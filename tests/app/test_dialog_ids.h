// Identifiers of the interface tests' own dialog template, clear of the program's resources.
#pragma once

#define IDD_TEST_MAIN 201
