// A recipe: steps kept in a UTF-8 text file, to apply them again to other
// pictures. The first line is the header below, then one step per line in
// the command line's own words ("--resize 500x"); empty lines and lines
// starting with "#" are comments. The window saves recipes and the command
// line reads them through the functions here, so both speak one grammar.
#pragma once

#include "steps/Step.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kRecipeHeader = "# Kelvora-Rezept 1";

// What is wrong with a recipe's text: the line (from 1) and, in German,
// what is wrong there.
struct RecipeFault {
    int Line = 0;
    std::string Message;
};

// The steps of a recipe's text; false with the first fault.
bool ParseRecipe(std::string_view text, std::vector<Step>& steps, RecipeFault& fault);

// The text that parses back to steps. Pictures from outside (an opened file,
// a scan) have no words and are no part of a recipe.
std::string RecipeText(std::span<const Step> steps);

// Reads the recipe file at path; false with a German message in error that
// names the file, the line and what is wrong there.
bool ReadRecipe(const std::string& path, std::vector<Step>& steps, std::string& error);

// Writes steps as a recipe file, replacing path only once the whole file is
// written; false with a German message in error.
bool WriteRecipe(const std::string& path, std::span<const Step> steps, std::string& error);
