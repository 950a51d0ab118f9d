// characters_content.cpp: hands the three characters and their skins to the generator:
// "messiah.mdl", "father.mdl", "wolfguy.mdl" and the BMP skins of the same base names.
#include <string>

#include "characters.h"
#include "content.h"

void generate_characters(ContentSink &sink) {
    for (int k = 0; k < CHARACTER_COUNT; k++) {
        CharacterKind kind = CharacterKind(k);
        MdlModel model;
        Picture skin;
        build_character(kind, model, skin);
        std::string base = character_name(kind);
        sink.add(base + ".mdl", mdl_encode(model));
        sink.add(base + ".bmp", bmp_encode_24(skin));
    }
}

KELP_CONTENT(CONTENT_ORDER_CHARACTERS, generate_characters);
