#!/usr/bin/env python3
"""Writes the contest definitions shipped in data/Cfg (CP932, CR LF).

Run from the repository root: python3 tools/make_cfg.py
"""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "Cfg")

# Band index -> (key word, category band code, category code text, caption)
BANDS = [
    ("1.8", 1, "19", "1.9MHz"), ("3.5", 2, "35", "3.5MHz"), ("7", 3, "7", "7MHz"),
    ("10", None, None, "10MHz"), ("14", 4, "14", "14MHz"), ("18", None, None, "18MHz"),
    ("21", 5, "21", "21MHz"), ("24", None, None, "24MHz"), ("28", 6, "28", "28MHz"),
    ("50", 7, "50", "50MHz"), ("144", 8, "144", "144MHz"), ("430", 9, "430", "430MHz"),
    ("1200", 10, "1200", "1200MHz"), ("2400", 11, "2400", "2400MHz"),
    ("5600", 12, "5600", "5600MHz"), ("10G", 13, "10G", "10.1GHz"),
]
MODES = ["SSB", "FM", "AM", "CW", "RTTY", "PSK31", "WSJT", "SSTV", "DV", "DD"]

# Power letters and the bands that allow them (the station-data dialog's lists).
POWER = {"H": ("ハイパワー", range(0, 10)), "M": ("ミドルパワー", range(0, 12)),
         "L": ("ローパワー", range(0, 13)), "P": ("QRP", range(0, 16))}

JA_MODES = [("C", "電信", 2), ("P", "電話", 1), ("X", "電信電話", 0)]
CONTEST_BANDS = [0, 1, 2, 4, 6, 8, 9, 10, 11, 12, 13, 14, 15]  # no 10, 18, 24 MHz


def categories_ja(bands):
    rows = []
    for mode_letter, mode_name, cate_mode in JA_MODES:
        letters = [p for p in "HMLP" if any(b in POWER[p][1] for b in bands)]
        for p in letters:
            rows.append((f"シングルオペ {mode_name} オールバンド {POWER[p][0]}",
                         f"{mode_letter}A{p}", cate_mode, 0, 0))
        for b in bands:
            _, cate_band, code, caption = BANDS[b]
            for p in "HMLP":
                if b in POWER[p][1]:
                    rows.append((f"シングルオペ {mode_name} {caption} {POWER[p][0]}",
                                 f"{mode_letter}{code}{p}", cate_mode, cate_band, 0))
    letters = [p for p in "HMLP" if any(b in POWER[p][1] for b in bands)]
    for p in letters:
        rows.append((f"マルチオペ 電信電話 オールバンド {POWER[p][0]}", f"XMA{p}", 0, 0, 1))
    return rows


def categories_asia(bands, mode_letter, mode_name, cate_mode):
    rows = []
    for p, pname in (("H", "ハイパワー"), ("M", "100W以下")):
        rows.append((f"シングルオペ {mode_name} オールバンド {pname}", f"{mode_letter}A{p}",
                     cate_mode, 0, 0))
    for b in bands:
        _, cate_band, code, caption = BANDS[b]
        for p, pname in (("H", "ハイパワー"), ("M", "100W以下")):
            rows.append((f"シングルオペ {mode_name} {caption} {pname}",
                         f"{mode_letter}{code}{p}", cate_mode, cate_band, 0))
    rows.append((f"マルチオペ {mode_name} オールバンド", f"{mode_letter}MAH", cate_mode, 0, 1))
    return rows


def write(name, comment, settings, bands, modes, points, categories):
    lines = [f";{line}" for line in comment]
    lines.append("")
    for key, value in settings:
        lines.append(f"{key}={value}")
    lines.append("")
    for i, (word, *_rest) in enumerate(BANDS):
        lines.append(f"Band{word}Enabled={1 if i in bands else 0}")
    for i, (word, *_rest) in enumerate(BANDS):
        a, b, c = points.get(i, (0, 0, 0)) if i in bands else (0, 0, 0)
        lines.append(f"Band{word}PointA={a}")
        lines.append(f"Band{word}PointB={b}")
        lines.append(f"Band{word}PointC={c}")
    lines.append("")
    for m in MODES:
        lines.append(f"{m}Enabled={1 if m in modes else 0}")
    lines.append("")
    for row in categories:
        lines.append("StdCategory=" + ";".join(str(f) for f in row))
    text = "\r\n".join(lines) + "\r\n"
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(text.encode("cp932"))


def base(no, name, std, exch, mlt_search, point_type, total, sent_code, fd, exch_to_mlt,
         entity, section, utc, dqp, nyp, section_file=""):
    return [
        ("ContestName", name), ("StdContestName", std), ("ContestNo", no), ("Exch", exch),
        ("MltType", 0), ("MltSearch", mlt_search), ("PointType", point_type),
        ("TotalPoint", total), ("SentJarlCode", sent_code), ("FdKeisuEnabled", fd),
        ("ExchtoMlt", exch_to_mlt), ("SearchEntityFile", entity),
        ("SearchSectionFile", section), ("SectionFile", section_file), ("SetUTCtime", utc),
        ("DqpEnabled", dqp), ("NYPEnabled", nyp), ("WpxSearch", 0),
        ("SendMailAddress", ""), ("TestMailAddress", ""),
    ]


SECTION_FILE = "JARL都府県支庁ナンバー.txt"
PHONE_CW = ["SSB", "FM", "AM", "CW"]


def one_point(bands):
    return {b: (1, 0, 0) for b in bands}


def main():
    os.makedirs(OUT, exist_ok=True)
    # Prefecture and subprefecture numbers: the 14 Hokkaido subprefectures,
    # then 02 (Aomori) to 48 (Ogasawara); 01 is not used.
    numbers = [str(n) for n in range(101, 115)] + [f"{n:02d}" for n in range(2, 49)]
    with open(os.path.join(OUT, SECTION_FILE), "wb") as f:
        f.write(("\r\n".join(numbers) + "\r\n").encode("cp932"))

    allja = [0, 1, 2, 4, 6, 8, 9]
    write("(1)ＡＬＬ ＪＡ コンテスト.cfg",
          ["ＡＬＬ ＪＡ コンテスト", "交換: RS(T) + 都府県支庁ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なる都府県支庁ナンバー  JST"],
          base(1, "ＡＬＬ ＪＡ コンテスト", "ALL JAコンテスト", 1, 2, 1, 2, 1, 0, 1, 0, 1, 0, 0,
               0, SECTION_FILE),
          allja, PHONE_CW, one_point(allja), categories_ja(allja))

    sixd = [9, 10, 11, 12, 13, 14, 15]
    write("(2)6M and Down コンテスト.cfg",
          ["6M and Down コンテスト",
           "交換: 1200MHzまで RS(T) + 都府県支庁ナンバー + 空中線電力の記号",
           "      2400MHzから RS(T) + 市郡区ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なるナンバー  JST"],
          base(2, "6M and Down コンテスト", "6m AND DOWNコンテスト", 3, 2, 1, 2, 1, 0, 1, 0, 0,
               0, 0, 0),
          sixd, PHONE_CW, one_point(sixd), categories_ja(sixd))

    write("(3)フィールドデーコンテスト.cfg",
          ["フィールドデーコンテスト",
           "交換: 1200MHzまで RS(T) + 都府県支庁ナンバー + 空中線電力の記号",
           "      2400MHzから RS(T) + 市郡区ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なるナンバー",
           "移動運用局種係数 (移動する野外の局は2) を総得点に掛ける  JST"],
          base(3, "フィールドデーコンテスト", "フィールドデーコンテスト", 3, 2, 1, 2, 1, 1, 1, 0,
               0, 0, 0, 0),
          CONTEST_BANDS, PHONE_CW, one_point(CONTEST_BANDS), categories_ja(CONTEST_BANDS))

    write("(4)全市全郡コンテスト.cfg",
          ["全市全郡コンテスト", "交換: RS(T) + 市郡区ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なる市郡区ナンバー  JST"],
          base(4, "全市全郡コンテスト", "全市全郡コンテスト", 2, 2, 1, 2, 1, 0, 1, 0, 0, 0, 0, 0),
          CONTEST_BANDS, PHONE_CW, one_point(CONTEST_BANDS), categories_ja(CONTEST_BANDS))

    # Points for an Asian station: A outside Asia, B other Asian countries,
    # C own country.
    def asia_points(bands):
        pts = {}
        for b in bands:
            if b == 0:
                pts[b] = (9, 3, 0)
            elif b in (1, 8):
                pts[b] = (6, 2, 0)
            else:
                pts[b] = (3, 1, 0)
        return pts

    aa_cw = [0, 1, 2, 4, 6, 8]
    write("(5)ALL ASIAN DX コンテスト(電信).cfg",
          ["ALL ASIAN DX コンテスト (電信)", "交換: RST + 年齢  UTC",
           "得点: アジア外 3点 (3.5/28MHz 6点, 1.9MHz 9点), アジア 1点 (2点, 3点), 自国 0点",
           "マルチ: バンドごとの異なるエンティティ (カントリーファイル)"],
          base(5, "ALL ASIAN DX コンテス(電信)", "ALL ASIAN DXコンテスト(電信部門)", 5, 2, 2, 2,
               0, 0, 0, 1, 0, 1, 0, 0),
          aa_cw, ["CW"], asia_points(aa_cw), categories_asia(aa_cw, "C", "電信", 2))

    aa_ph = [1, 2, 4, 6, 8]
    write("(6)ALL ASIAN DX コンテスト(電話).cfg",
          ["ALL ASIAN DX コンテスト (電話)", "交換: RS + 年齢  UTC",
           "得点: アジア外 3点 (3.5/28MHz 6点), アジア 1点 (2点), 自国 0点",
           "マルチ: バンドごとの異なるエンティティ (カントリーファイル)"],
          base(6, "ALL ASIAN DX コンテス(電話)", "ALL ASIAN DXコンテスト(電話部門)", 5, 2, 2, 2,
               0, 0, 0, 1, 0, 1, 0, 0),
          aa_ph, ["SSB", "AM"], asia_points(aa_ph), categories_asia(aa_ph, "P", "電話", 1))

    every = list(range(16))
    write("(7)ＱＳＯパーティー.cfg",
          ["ＱＳＯパーティー", "交換: RS(T) + 運用者の名前  得点なし  JST"],
          base(7, "ＱＳＯパーティー", "QSOパーティー", 4, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 1),
          every, MODES, {}, [("個人局", "NYP", 0, 0, 0), ("社団局", "NYPM", 0, 0, 1)])

    write("(8)デジタルＱＳＯパーティー.cfg",
          ["デジタルＱＳＯパーティー", "デジタルモードのみ  交換: RST + 運用者の名前  得点なし  JST"],
          base(8, "デジタルＱＳＯパーティー", "デジタルQSOパーティー", 4, 0, 1, 1, 0, 0, 0, 0, 0,
               0, 1, 0),
          every, ["RTTY", "PSK31", "WSJT", "SSTV", "DV", "DD"], {},
          [("個人局", "DQP", 0, 0, 0), ("社団局", "DQPM", 0, 0, 1)])


if __name__ == "__main__":
    main()
