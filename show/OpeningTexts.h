// The six texts typed at the start of the show, stored as Windows-1251 bytes: one byte per
// character, so the line breaking counts characters by counting bytes.
#pragma once

#include "console/Cp1251.h"

#include <string_view>

namespace veloria {

inline constexpr std::string_view LoadingText = cp1251<"LOADING...">();

inline constexpr std::string_view IntroText1 =
    cp1251<"Во времена, когда компьютер собирался на коленке, а для увеличения памяти парни паяли "
           "дополнительные платы микросхем ОЗУ, когда шла борьба за свободное и доступное всем ПО, "
           "когда каждый программист был одновременно и инженером, и радиолюбителем, и романтиком "
           "новой эпохи, в 90-х годах, зародилось искусство демосцены...">();

inline constexpr std::string_view IntroText2 = cp1251<
    "Многие их ники забыл даже интернет, а уникальные программы остались на трёхдюймовых "
    "дискетах, но говорят, луч дисковода продолжает светить, как светил рассеянный призмой "
    "Морвета спектр тем, кто, стоя на плечах гигантов, увидел вещи, к которым человек "
    "оказался готов лишь спустя несколько веков: интерференция и дифракция, создавая едва ли "
    "не каждую ночь прекрасную радугу вокруг Луны, влекли людей, ведя их только вперёд и "
    "выше... Надеюсь, этот луч мелькнёт и в твоих глазах, зритель!">();

inline constexpr std::string_view SoundPrompt = cp1251<"PLEASE, TURN ON THE SOUND!!">();

inline constexpr std::string_view CountdownText = cp1251<"3... 2... 1...">();

inline constexpr std::string_view TitleText = cp1251<"VELORIA!">();

static_assert(LoadingText.size() == 10 && IntroText1.size() == 319 && IntroText2.size() == 484 &&
              SoundPrompt.size() == 27 && CountdownText.size() == 14 && TitleText.size() == 8);

} // namespace veloria
