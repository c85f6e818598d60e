#!/usr/bin/env python3
"""Writes the contest definitions shipped in data/Cfg (CP932, CR LF).

Every category, code, band and point below follows JARL's published rules;
what the rules do not settle is left out and named in the file's comment.

Run from the repository root: python3 tools/make_cfg.py
"""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "Cfg")

# Band index -> (key word, category band code, code text in category codes, caption)
BANDS = [
    ("1.8", 1, "19", "1.9MHz"), ("3.5", 2, "35", "3.5MHz"), ("7", 3, "7", "7MHz"),
    ("10", None, None, "10MHz"), ("14", 4, "14", "14MHz"), ("18", None, None, "18MHz"),
    ("21", 5, "21", "21MHz"), ("24", None, None, "24MHz"), ("28", 6, "28", "28MHz"),
    ("50", 7, "50", "50MHz"), ("144", 8, "144", "144MHz"), ("430", 9, "430", "430MHz"),
    ("1200", 10, "1200", "1200MHz"), ("2400", 11, "2400", "2400MHz"),
    ("5600", 12, "5600", "5600MHz"), ("10G", 13, "10G", "10.1GHz"),
]
MODES = ["SSB", "FM", "AM", "CW", "RTTY", "PSK31", "WSJT", "SSTV", "DV", "DD"]
PHONE_CW = ["SSB", "FM", "AM", "CW"]

# Category mode codes: 1 phone, 2 CW, 0 CW and phone.
PHONE, CW, BOTH = 1, 2, 0
MODE_NAMES = {CW: "電信", PHONE: "電話", BOTH: "電信電話"}
MODE_LETTERS = {CW: "C", PHONE: "P", BOTH: "X"}

# Power letters of the domestic contests and the names of their classes.
POWER_NAMES = {"H": "ハイパワー", "M": "ミドルパワー", "L": "ローパワー", "P": "QRP"}
# Bands whose power list in the station-data dialog offers the letter.
POWER_BANDS = {"H": range(0, 10), "M": range(0, 12), "L": range(0, 13), "P": range(0, 16)}

# Contest bands: 1.9 MHz up, without 10, 18 and 24 MHz.
HF_TO_50 = [0, 1, 2, 4, 6, 8, 9]
FIFTY_UP = [9, 10, 11, 12, 13, 14, 15]
DOMESTIC_ALL = [0, 1, 2, 4, 6, 8, 9, 10, 11, 12, 13, 14, 15]

UPLOAD_URL = "https://contest.jarl.org/upload/"
SECTION_FILE = "JARL都府県支庁ナンバー.txt"


def row(name, code, mode, band, mlt):
    return (name, code, mode, band, mlt)


# The whole log sent for checking only; offered by every domestic contest.
def check_log():
    return row("チェックログ", "CHECKLOG", BOTH, 0, 0)


def single(mode, band, power=None, prefix="シングルオペ"):
    """A single-operator row: all bands (band None) or one band, with a power letter or none."""
    if band is None:
        where, cate_band, band_code = "オールバンド", 0, "A"
    else:
        _, cate_band, band_code, where = BANDS[band]
    name = f"{prefix} {MODE_NAMES[mode]} {where}".strip()
    code = MODE_LETTERS[mode] + band_code
    if power:
        name += f" {POWER_NAMES[power]}"
        code += power
    return row(name, code, mode, cate_band, 0)


def write(name, comment, settings, bands, modes, points, categories, rules=()):
    lines = [f";{line}" for line in comment]
    lines.append("")
    for key, value in settings:
        lines.append(f"{key}={value}")
    lines.append("")
    if rules:
        for item in rules:
            lines.append(f";{item}" if isinstance(item, str) else f"{item[0]}={item[1]}")
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
    for r in categories:
        lines.append("StdCategory=" + ";".join(str(f) for f in r))
    for line in comment + [r for r in rules if isinstance(r, str)]:
        assert "=" not in line, line  # a comment with "=" would read as a key
    text = "\r\n".join(lines) + "\r\n"
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(text.encode("cp932"))


def base(no, name, std, exch, mlt_search, point_type, total, sent_code, fd, exch_to_mlt,
         entity, section, utc, nyp, section_file="", upload=""):
    settings = [
        ("ContestName", name), ("StdContestName", std), ("ContestNo", no), ("Exch", exch),
        ("MltType", 0), ("MltSearch", mlt_search), ("PointType", point_type),
        ("TotalPoint", total), ("SentJarlCode", sent_code), ("FdKeisuEnabled", fd),
        ("ExchtoMlt", exch_to_mlt), ("SearchEntityFile", entity),
        ("SearchSectionFile", section), ("SectionFile", section_file), ("SetUTCtime", utc),
        ("DqpEnabled", 0), ("NYPEnabled", nyp), ("WpxSearch", 0),
        ("SendMailAddress", ""), ("TestMailAddress", ""),
    ]
    if upload:
        settings.append(("UploadUrl", upload))
    return settings


def domestic(no, name, std, exch, section_file="", fd=0):
    """Power letter at the end of the exchange, the exchange's number the multiplier per band."""
    return base(no, name, std, exch, 2, 1, 2, 1, fd, 1, 0, 1 if section_file else 0, 0, 0,
                section_file, UPLOAD_URL)


def one_point(bands):
    return {b: (1, 0, 0) for b in bands}


# The entry rules the check before submission holds a log against. Each is
# a comment naming the rules' year, then its keys. Watts: 1.9 to 28 MHz,
# 50 to 430 MHz, 1200 MHz and up (a missing figure repeats the one before,
# 0 is up to the licence); "*" in a category code stands for any characters.
WATTS_COMMENT = "記号;1.9MHzから28MHz;50MHzから430MHz;1200MHz以上 の上限W (0は免許の範囲、省略は前と同じ)"
PREFECTURES = "101-114,02-48"
CITIES = "#4-6"


def ruled(year, text):
    return f"{text}  ({year}年の規約)"


def power_codes(year, codes):
    return [f"空中線電力の記号と上限 ({year}年の規約)  {WATTS_COMMENT}"] + [
        ("PowerCode", ";".join([letter] + [str(w) for w in watts])) for letter, *watts in codes]


def category_power_codes(letters):
    return ["記号で終わる部門コードの部門はその記号を送る (* は任意の文字)"] + [
        ("CategoryPowerCode", f"{p};C*{p},X*{p}") for p in letters]


def category_power(comment, limits):
    return [comment] + [("CategoryPower", ";".join([codes] + [str(w) for w in watts]))
                        for codes, *watts in limits]


def phone_excluded(comment, words):
    return [comment, ("PhoneExcludedBands", ",".join(words))]


def rcvd_shapes(comment, shapes):
    return [comment] + [("RcvdNoShape", f"{bands};{numbers}") for bands, numbers in shapes]


def period(comment, value):
    return [comment, ("ContestPeriod", value)]


NO_PERIOD = "コンテスト期間は確認できていないため載せていない (提出前のチェックは期間を見ない)"
DOMESTIC_POWER = [("H", 0), ("M", 100), ("L", 10, 20), ("P", 5)]


DOMESTIC_COMMENT = [
    "空中線電力の記号: H 免許の範囲  M 100W以下  L 10W以下 (50MHz以上は20W以下)  P 5W以下",
    "部門コード: C 電信 / P 電話 / X 電信電話  A オールバンド または バンド  電力区分のある部門は電力の記号",
    "提出: JARLのWebアップロードを推奨 (テキストファイルのE-メール添付も受け付け)",
    "      提出先のE-メールアドレスは確認できていないため空にしてある",
]


def all_ja():
    cats = [single(CW, None, p) for p in "HMP"]
    for b in HF_TO_50:
        cats += [single(CW, b, p) for p in "HMP"]
    cats += [single(BOTH, None, p) for p in "HMP"]
    cats.append(row("シングルオペ 電話 オールバンド (14MHzを除く)", "PA", PHONE, 0, 0))
    cats += [single(PHONE, b) for b in (1, 2, 6, 8, 9)]
    cats.append(row("ニューカマー 電話", "PN", PHONE, 0, 0))
    cats.append(row("マルチオペ 電話 オールバンド", "PMA", PHONE, 0, 1))
    for mode in (CW, BOTH):
        for p in "HM":
            cats.append(row(f"マルチオペ {MODE_NAMES[mode]} オールバンド {POWER_NAMES[p]}",
                            f"{MODE_LETTERS[mode]}MA{p}", mode, 0, 1))
    cats.append(row("マルチオペ 2波 電信", "CM2", CW, 0, 1))
    cats.append(row("マルチオペ 2波 電信電話", "XM2", BOTH, 0, 1))
    cats.append(row("マルチオペ ジュニア 電信電話", "XMJ", BOTH, 0, 1))
    # The silver entrant's age goes in the operators' list of the summary sheet.
    cats.append(row("シルバー 電信", "CS", CW, 0, 1))
    cats.append(row("シルバー 電信電話", "XS", BOTH, 0, 1))
    cats.append(row("SWL", "CSWL", CW, 0, 0))
    cats.append(check_log())
    write("(1)ＡＬＬ ＪＡ コンテスト.cfg",
          ["ＡＬＬ ＪＡ コンテスト  2025年の規約による", "1.9MHzから50MHz  JST",
           "交換: RS(T) + 都府県支庁ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なる都府県支庁ナンバー (49と50は2015年に48へ統合)",
           "電話部門は10W以下 (50MHzは20W以下) の区分だけで、部門コードに電力の記号は付かない",
           "電信部門にL (ローパワー) の区分はない",
           "2025年から電信と電話の間の交信 (クロスモード) は認められない",
           "シルバー部門は年齢を運用者リストに記入するためマルチオペ扱い (CateMlt 1)"]
          + DOMESTIC_COMMENT,
          domestic(1, "ＡＬＬ ＪＡ コンテスト", "ALL JAコンテスト", 1, SECTION_FILE),
          HF_TO_50, PHONE_CW, one_point(HF_TO_50), cats,
          power_codes(2025, DOMESTIC_POWER) + category_power_codes("HMP")
          + category_power(ruled(2025, "電話部門は10W以下 (50MHzは20W以下)"), [("P*", 10, 20)])
          + phone_excluded(ruled(2025, "電話部門のオールバンドは14MHz帯を除く"), ["14"])
          + rcvd_shapes(ruled(2025, "受信ナンバー: 都府県支庁ナンバー と 空中線電力の記号"),
                        [("*", PREFECTURES)])
          + period(ruled(2025, "コンテスト期間 (JST): 4月の最終土曜日21時から24時間"),
                   "04/SatL 21:00;24"))


def six_and_down():
    cats = [single(CW, b, prefix="") for b in FIFTY_UP]
    cats += [single(PHONE, b, prefix="") for b in FIFTY_UP]
    cats.append(check_log())
    write("(2)6M and Down コンテスト.cfg",
          ["6M and Down コンテスト  2014年から2025年に公表された規約と案内による",
           "50MHz以上  JST",
           "交換: 1200MHzまで RS(T) + 都府県支庁ナンバー + 空中線電力の記号",
           "      2400MHzから RS(T) + 市郡区ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なるナンバー",
           "部門は公表されている部門コード (C50からC10G、P50からP10G) だけを載せた",
           "これらの部門に現在電力区分があるか、部門コードに電力の記号が付くかは確認できていないため",
           "電力の記号なしのコードのままにしてある  オペの人数 (シングル/マルチ) も未確認",
           "マルチオペ、オールバンド、電信電話などほかの部門のコードは未確認のため載せていない",
           NO_PERIOD]
          + DOMESTIC_COMMENT,
          domestic(2, "6M and Down コンテスト", "6m AND DOWNコンテスト", 3),
          FIFTY_UP, PHONE_CW, one_point(FIFTY_UP), cats,
          rcvd_shapes("受信ナンバー (2025年の規約): 1200MHzまで 都府県支庁ナンバー  2400MHzから"
                      " 市郡区ナンバー (4から6桁)  そのあとに空中線電力の記号",
                      [("50-1200", PREFECTURES), ("2400-10G", CITIES)]))


def field_day():
    cats = [row("シングルオペ 電話 オールバンド", "PA", PHONE, 0, 0),
            row("ニューカマー 電話", "PN", PHONE, 0, 0),
            row("マルチオペ 電話 オールバンド", "PMA", PHONE, 0, 1),
            single(CW, None)]
    cats += [single(CW, b) for b in (0, 1, 2, 4, 6, 8, 9, 10, 11, 12, 13)]
    cats.append(check_log())
    write("(3)フィールドデーコンテスト.cfg",
          ["フィールドデーコンテスト  2025年の規約による",
           "1.9MHz以上 (1200MHz以上を含む)  JST",
           "交換: 1200MHzまで RS(T) + 都府県支庁ナンバー + 空中線電力の記号",
           "      2400MHzから RS(T) + 市郡区ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なるナンバー",
           "電力区分は M (50W以下)  L (10W以下 50MHzから430MHzは20W以下)  P (5W以下) の三つで、Hの区分はない",
           "電話部門 (PA PN PMA) は10Wの区分、電信部門 (CAからC2400) は50Wの区分",
           "移動運用局種係数: 既存の無線設備や電源のない場所で運用するフィールドデー局Aだけが2",
           "  それ以外の局は1", NO_PERIOD]
          + [c for c in DOMESTIC_COMMENT if not c.startswith("空中線電力の記号")],
          domestic(3, "フィールドデーコンテスト", "フィールドデーコンテスト", 3, fd=1),
          DOMESTIC_ALL, PHONE_CW, one_point(DOMESTIC_ALL), cats,
          power_codes(2025, [("M", 50), ("L", 10, 20, 10), ("P", 5)])
          + category_power(ruled(2025, "どの局も50W以下 (空中線電力が50Wを超えている局は受け付けられない)"
                                 "  電話部門は10W以下 (50MHzから430MHzは20W以下)"),
                           [("*", 50), ("P*", 10, 20, 10)])
          + phone_excluded(ruled(2025, "電話部門のオールバンドは14MHz帯を除く"), ["14"])
          + rcvd_shapes(ruled(2025, "受信ナンバー: 1200MHzまで 都府県支庁ナンバー  2400MHzから"
                              " 市郡区ナンバー (4から6桁)  そのあとに空中線電力の記号"),
                        [("1.8-1200", PREFECTURES), ("2400-10G", CITIES)]))


def all_cities():
    cats = [single(CW, None, p) for p in "HMLP"]
    for b in DOMESTIC_ALL:
        cats += [single(CW, b, p) for p in "HMLP" if b in POWER_BANDS[p]]
    cats += [single(BOTH, None, p) for p in "HMLP"]
    # Phone has one power class only; a 1.9 MHz phone category is unconfirmed.
    cats.append(single(PHONE, None))
    cats += [single(PHONE, b) for b in DOMESTIC_ALL if b != 0]
    cats.append(check_log())
    write("(4)全市全郡コンテスト.cfg",
          ["全市全郡コンテスト  2014年から2025年に公表された規約と案内による",
           "1.9MHzから430MHz と 1200MHz以上  JST",
           "交換: RS(T) + 市郡区ナンバー + 空中線電力の記号",
           "1交信1点  マルチ: バンドごとの異なる市郡区ナンバー",
           "電話部門はすべて10W以下 (50MHzから430MHzは20W以下  1200MHz以上は未確認) で、部門コードに電力の記号は付かない",
           "それを超える電力の局は電信電話部門に参加する",
           "部門コードは国内コンテストの決まりに従って組み立てた  電力区分は各バンドで送れる",
           "電力の記号 (H M L P) のすべてを載せた  電信電話部門はオールバンドだけを載せた",
           "マルチオペ、ニューカマー、SWLなどの部門コードは未確認のため載せていない",
           "電話の1.9MHz部門はＡＬＬ ＪＡにもなく、あるかどうか未確認のため載せていない",
           NO_PERIOD]
          + DOMESTIC_COMMENT,
          domestic(4, "全市全郡コンテスト", "全市全郡コンテスト", 2),
          DOMESTIC_ALL, PHONE_CW, one_point(DOMESTIC_ALL), cats,
          power_codes(2025, DOMESTIC_POWER) + category_power_codes("HMLP")
          + category_power(ruled(2025, "電話部門は10W以下 (50MHz以上は20W以下"
                                 "  1200MHz以上は未確認のためLの区分と同じ20W)"), [("P*", 10, 20)])
          + rcvd_shapes(ruled(2025, "受信ナンバー: 市郡区ナンバー (4から6桁) と 空中線電力の記号"),
                        [("*", CITIES)]))


ASIA_BANDS = [(0, "160"), (1, "80"), (2, "40"), (4, "20"), (6, "15"), (8, "10")]


def asia_points():
    # (outside Asia, other Asian entity, own entity)
    pts = {}
    for b, _ in ASIA_BANDS:
        if b == 0:
            pts[b] = (9, 3, 0)
        elif b in (1, 8):
            pts[b] = (6, 2, 0)
        else:
            pts[b] = (3, 1, 0)
    return pts


def asia_categories(mode):
    cats = []
    for power, pname in (("HP", "ハイパワー"), ("LP", "ローパワー")):
        for b, meters in ASIA_BANDS:
            _, cate_band, _, caption = BANDS[b]
            cats.append(row(f"シングルオペ {caption} {pname}", f"SO{meters}{power}", mode,
                            cate_band, 0))
        cats.append(row(f"シングルオペ オールバンド {pname}", f"SOAB{power}", mode, 0, 0))
    for power, pname in (("HP", "ハイパワー"), ("LP", "ローパワー")):
        cats.append(row(f"シングルオペ オールバンド 24時間 {pname}", f"SOAB{power}24", mode, 0, 0))
    for power, pname in (("HP", "ハイパワー"), ("LP", "ローパワー")):
        cats.append(row(f"マルチオペ シングルトランスミッター {pname}", f"MS{power}", mode, 0, 1))
    for power, pname in (("HP", "ハイパワー"), ("LP", "ローパワー")):
        cats.append(row(f"マルチオペ マルチトランスミッター {pname}", f"MM{power}", mode, 0, 1))
    cats.append(row("シングルオペ ジュニア (20歳未満)", "SOJR", mode, 0, 0))
    cats.append(row("シングルオペ シルバー (70歳以上)", "SOSV", mode, 0, 0))
    return cats


def all_asian(no, name, std, kind, modes, mode, start):
    bands = [b for b, _ in ASIA_BANDS]
    write(f"({no})ALL ASIAN DX コンテスト({kind}).cfg",
          [f"ALL ASIAN DX コンテスト ({kind})  2025年の規約による",
           "160m 80m 40m 20m 15m 10m  UTC",
           "交換: RS(T) + 年齢",
           "得点 (アジアの局から): 160m アジア3点 アジア外9点  80mと10m 2点と6点",
           "  ほかのバンド 1点と3点  自エンティティとの交信は0点でマルチにならない",
           "マルチ: バンドごとの異なるDXCCエンティティ (カントリーファイル)",
           "部門: ハイパワーは免許の範囲  ローパワーは100W以下  24時間はオールバンドだけ",
           "ジュニア (20歳未満) とシルバー (70歳以上) はJAの局だけの部門",
           "提出先 (E-メールアドレス、アップロード先) は確認できていないため空にしてある"],
          base(no, name, std, 5, 2, 2, 2, 0, 0, 0, 1, 0, 1, 0),
          bands, modes, asia_points(), asia_categories(mode),
          category_power("ローパワー部門は100W以下 (2025年の規約)", [("*LP*", 100)])
          + period(f"コンテスト期間 (UTC, 2025年の規約): {start[1]}から48時間", start[0]))


def qso_party():
    write("(7)ＱＳＯパーティー.cfg",
          ["ＱＳＯパーティー (ニューイヤーパーティー)  2026年の案内による",
           "1月2日09時から1月7日21時 (JST)  全バンド",
           "交換: RS(T) + 運用者の名前  得点なし",
           "部門: アマチュア局 (交信) と SWL  20局以上との交信でステッカー",
           "電子ログは2026年から受け付け",
           "部門コードは公表されていないため空にしてある",
           "提出: JARLのWebアップロードを推奨 (テキストファイルのE-メール添付も受け付け)",
           "      提出先のE-メールアドレスは確認できていないため空にしてある"],
          base(7, "ＱＳＯパーティー", "QSOパーティー", 4, 0, 1, 1, 0, 0, 0, 0, 0, 0, 1,
               upload=UPLOAD_URL),
          list(range(16)), MODES, {},
          [row("アマチュア局", "", BOTH, 0, 0), row("SWL", "", BOTH, 0, 0)],
          period("期間 (JST, 2026年の案内): 1月2日9時から1月7日21時まで", "01/02 09:00;132"))


def main():
    os.makedirs(OUT, exist_ok=True)
    # Prefecture and subprefecture numbers: the 14 Hokkaido subprefectures,
    # then 02 (Aomori) to 48 (Ogasawara); 01 is not used.
    numbers = [str(n) for n in range(101, 115)] + [f"{n:02d}" for n in range(2, 49)]
    with open(os.path.join(OUT, SECTION_FILE), "wb") as f:
        f.write(("\r\n".join(numbers) + "\r\n").encode("cp932"))

    all_ja()
    six_and_down()
    field_day()
    all_cities()
    all_asian(5, "ALL ASIAN DX コンテス(電信)", "ALL ASIAN DXコンテスト(電信部門)", "電信",
              ["CW"], CW, ("06/Sat3 00:00;48", "6月の第3土曜日0時"))
    all_asian(6, "ALL ASIAN DX コンテス(電話)", "ALL ASIAN DXコンテスト(電話部門)", "電話",
              ["SSB", "AM"], PHONE, ("09/Sat1 00:00;48", "9月の第1土曜日0時"))
    qso_party()


if __name__ == "__main__":
    main()
