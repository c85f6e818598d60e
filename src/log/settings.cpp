#include "log/settings.h"

const char* const kDefaultOath =
    "私は、JARL制定のコンテスト規約および電波法令にしたがい運用した結果、\r\n"
    "ここに提出するサマリーシートおよびログシートなどが事実と相違ないもの\r\n"
    "であることを、私の名誉において誓います。";
const char* const kDefaultDqpOath =
    "私は、JARL制定のデジタルQSOパーティー規約および電波法令にしたがい\r\n"
    "運用した結果、ここに提出するサマリーシートおよびログシートなどが事\r\n"
    "実と相違ないものであることを、私の名誉において誓います。";
const char* const kDefaultNypOath =
    "私は、JARL制定のQSOパーティー規約および電波法令にしたがい運用した\r\n"
    "結果、ここに提出するサマリーシートおよびログシートなどが事実と相違\r\n"
    "ないものであることを、私の名誉において誓います。";
