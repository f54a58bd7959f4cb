#include "script/ScriptEngine.h"

#include "script/ScriptIds.h"
#include "script/ScriptLine.h"

ScriptEngine::ScriptEngine(InstallState& installState) : state(installState) {}

void ScriptEngine::TakeRunCopies()
{
    for (int i = 0; i < 6; ++i) directories.targetDirs[i] = state.TargetDir(i + 1);
    directories.varStrings = {state.varString1, state.varString2, state.varString3,
                              state.varString4, state.groupName};
    directories.defaultDrive = state.defaultDrive;
    componentFlags = state.componentSelected;
    for (int n = 1; n <= 3; ++n) conditionFlags[n] = state.componentSelected[n];
}

bool ScriptEngine::IsLineActive(int number) const
{
    if (number == 0) return true;
    if (number >= 1 && number <= 9) return conditionFlags[number] == 1;
    bool component = (number >= 11 && number <= 18) || number == 21 || number == 31 ||
                     number == 41 || number == 51 || number == 61;
    return component && componentFlags[number] == 1;
}

ScriptEngine::LineKind ScriptEngine::ReadLine(int k, uint16_t& number, std::string& command,
                                              std::string& rest)
{
    command.clear();
    std::string line = LoadLine(k);
    if (!SplitNumber(line, number, rest)) {
        // No number: a hole in the string table, the table's end without
        // an "END" line, or a malformed line. Passing over a missing string
        // would meet the next missing one, and so on without end, so the
        // pass ends here as if "END" had been read, for every kind of
        // such line alike. The text in the message is the empty number.
        ReportError(IDS_INVALID_RECORD, "");
        return LineKind::Invalid;
    }
    // Inactive lines are not parsed beyond their number.
    if (!IsLineActive(number)) return LineKind::Inactive;
    command = SplitCommand(rest);
    return LineKind::Active;
}
