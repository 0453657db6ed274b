// The page's mission folders: the player's, kept in the browser's storage, and
// a folder of its own for a mission shared as a link. Both start from the
// campaign built into the page.
#pragma once

#include <string>
#include <vector>

// Puts each campaign mission file (kvxmap.*.kvx of `campaign`) into `folder`
// as ./play does: copied when missing, and brought up to date while the
// player has not saved over it (it still equals the copy kept in
// folder/.campaign/). Returns a line for each file of the player's own kept
// in place of a newer campaign file.
std::vector<std::string> campaignInto(const std::string& campaign, const std::string& folder);

// Writes a whole file; false when it cannot.
bool writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
