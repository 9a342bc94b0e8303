#include "app/HistoryTexts.h"

#include "steps/StepTable.h"

std::string UndoHint(const History& history)
{
    if (!history.CanUndo())
        return "Nichts rückgängig zu machen";
    return "„" + DescribeStep(history.At(history.Current()).step) + "“ rückgängig machen (Strg+Z)";
}

std::string RedoHint(const History& history)
{
    if (!history.CanRedo())
        return "Nichts zu wiederholen";
    return "„" + DescribeStep(history.At(history.Current() + 1).step) +
           "“ wiederholen (Strg+Umschalt+Z oder Strg+Y)";
}

std::vector<std::string> HistoryLines(const History& history)
{
    std::vector<std::string> lines;
    lines.reserve(std::size_t(history.Count()));
    for (int i = 0; i < history.Count(); ++i)
        lines.push_back(DescribeStep(history.At(i).step));
    return lines;
}
