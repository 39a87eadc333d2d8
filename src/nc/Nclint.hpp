// The rules as a shop configures them: which are on for which control and why, the settings a control
// profile gives them, and the rules silenced by `velmora:` comments.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nc/Nccheck.hpp"
#include "nc/Ncprofile.hpp"

// Why a rule exists and where it is on.
struct RuleNote {
  Rule rule;
  bool onByDefault;  // on in every profile but those of offIn
  unsigned onIn;     // a bit per Control where it is on although off by default
  unsigned offIn;    // a bit per Control where it is off although on by default
  std::string_view why;
};
const RuleNote& ruleNote(Rule rule);
// The rule is on under `control` unless a `[rules]` line says otherwise.
bool ruleOnFor(Rule rule, Control control);

// The settings of the rules under `profile`: its `[rules]` lines over the control's defaults.
LintSettings lintSettingsOf(const ControlProfile& profile);
// The rule with that id (ASCII case ignored); nullopt for none.
std::optional<Rule> ruleNamed(std::string_view id);
// A problem of `rule` on `line` (0: the whole program) is silenced by one of the suppressions.
bool isSuppressed(const std::vector<Suppression>& suppressions, Rule rule, int line);

// The message of a lint rule's finding: the numbers involved and how to fix it (Nclintmessages).
std::string lintMessage(const Finding& finding);
