#include "model/custom_variables.h"

#include <gtest/gtest.h>

#include <string>

#include "model/fixed_text.h"
#include "model/project.h"

namespace zorva {
namespace {

TEST(FixedText, CutsEveryInputToItsSize) {
    NameText name(std::string(40, 'a'));
    EXPECT_EQ(name.length(), 30u);
    name = "short";
    EXPECT_EQ(name, "short");
    name.set(std::string(31, 'b'));
    EXPECT_EQ(name.view(), std::string(30, 'b'));
    EXPECT_EQ(name.bytes()[30], '\0');

    PathText path;
    path = std::string(300, 'p');
    EXPECT_EQ(path.length(), 259u);
    ShortText text(std::string_view("ab\0cd", 5));  // cut at the zero byte too
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(text.bytes()[3], '\0');  // bytes after the text stay zero

    char field[8] = {'x', 'y', 'z', 'w', 'v', 'u', 't', 's'};  // no terminator in the field
    NameText from_field;
    from_field.set_from_field(field, sizeof field);
    EXPECT_EQ(from_field, "xyzwvuts");
}

TEST(Descriptions, ANewProjectHasSixTablesOfHundredDefaults) {
    Project project;
    for (int kind = 0; kind < kObjectKindCount; ++kind) {
        const DescriptionTable& table = project.descriptions[static_cast<std::size_t>(kind)];
        EXPECT_EQ(table[0].desc, "Variable01");
        EXPECT_EQ(table[9].desc, "Variable10");
        EXPECT_EQ(table[99].desc, "Variable100");
        for (const CustomVariableDescription& description : table) {
            EXPECT_FALSE(description.use_bits);
            EXPECT_FALSE(description.show_in_view);
            EXPECT_FALSE(description.show_desc_in_view);
        }
    }
    EXPECT_EQ(&project.descriptions_for(ObjectKind::PathPoint), &project.descriptions[5]);
}

TEST(BitMode, IntegerFlagsReadTheValueMostSignificantBitFirst) {
    EXPECT_TRUE(int_variable_flag(static_cast<std::int16_t>(0x8000), 0));
    EXPECT_TRUE(int_variable_flag(1, 15));
    EXPECT_FALSE(int_variable_flag(1, 14));
    EXPECT_EQ(int_variable_bits(5), "0000000000000101");
    EXPECT_EQ(int_variable_bits(-1), "1111111111111111");
    std::int16_t value = 0;
    value = with_int_variable_flag(value, 0, true);
    EXPECT_EQ(value, static_cast<std::int16_t>(-32768));
    value = with_int_variable_flag(value, 15, true);
    value = with_int_variable_flag(value, 0, false);
    EXPECT_EQ(value, 1);
}

TEST(BitMode, TextFlagsLiveInTheFirstTwoBytes) {
    CustomText text;
    set_text_variable_flag(text, 0, true);
    set_text_variable_flag(text, 8, true);
    EXPECT_EQ(text.byte(0), 0x80);
    EXPECT_EQ(text.byte(1), 0x80);
    EXPECT_EQ(text_variable_bits(text), "1000000010000000");

    // Flags of the second byte survive a first byte of zero.
    set_text_variable_flag(text, 0, false);
    EXPECT_TRUE(text.empty());
    EXPECT_TRUE(text_variable_flag(text, 8));
    set_text_variable_flag(text, 15, true);
    EXPECT_EQ(text.byte(1), 0x81);
}

TEST(BitMode, LabelsAreThreeCharacterSlicesOfTheDescription) {
    EXPECT_EQ(bit_label("ABCDEFGH", 0), "ABC");
    EXPECT_EQ(bit_label("ABCDEFGH", 2), "GH");
    EXPECT_EQ(bit_label("ABCDEFGH", 3), "");
    EXPECT_EQ(bit_label("ABCDEFGH", 16), "");
}

TEST(ListLines, FormatsOfTheVariablesList) {
    EXPECT_EQ(format_text_variable_line(0, "Variable01", "hello"), "01:  Variable01   =   hello");
    EXPECT_EQ(format_int_variable_line(99, "Speed", -5), "100:  Speed   =   -5");
    EXPECT_EQ(format_bits_variable_line(4, "Flags", int_variable_bits(3)),
              "05:  Flags   =   0000000000000011");
}

TEST(IntegerValues, TypedNumbersAreClampedToSixteenBits) {
    EXPECT_EQ(clamp_to_int16(40000), 32767);
    EXPECT_EQ(clamp_to_int16(-40000), -32768);
    EXPECT_EQ(clamp_to_int16(-7), -7);
}

}  // namespace
}  // namespace zorva
