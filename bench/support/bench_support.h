#pragma once

// Helpers shared by the benchmark programs.
