// Unattended runs: when the host sets MZPY_PROMPTS_FILE, every prompt is
// appended to that file (one UTF-8 line each) and answered with its default
// button instead of being shown.
#pragma once

namespace mzpy {
void InstallUnattendedPromptsFromEnvironment();
}
