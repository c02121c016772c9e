#pragma once

#include <QString>

struct GlobalVars;

namespace platform {
class IAgentControl;
}

// Shared procedures that show and place the agent character.

// Makes the loaded character `name` of the agent control the current one
// (GlobalVars::AgentChar), switches it to U.S. English, turns its word balloon
// off and shows it. Raises PlatformError when no character has that name.
void ShowAgent(GlobalVars& g, platform::IAgentControl& Agent1, const QString& name);

// Sends the current character gliding to the lower left of the 1024-pixel
// design (10, 530) scaled by ScaleFactor, taking one second, then has it
// gesture to the left. Raises PlatformError when no character is current.
void ParkAgent(GlobalVars& g);

// A design coordinate converted to whole pixels: the nearest integer, halves
// to the even neighbour (12.5 -> 12, 7.5 -> 8), as the platform's integer
// conversion does.
int RoundHalfEven(double value);

// The agent character of a choice 1..4 ("Genie", "Merlin", "Peedy", "Robby")
// and its character file; empty for any other choice.
QString AgentName(int choice);
QString AgentPath(const GlobalVars& g, int choice);
