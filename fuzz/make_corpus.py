#!/usr/bin/env python3
"""Writes the seed corpus: a few valid records of every file, as an earlier version of the
program left them (Windows-1252, space padded). Run from anywhere; rewrites fuzz/corpus/."""

import pathlib

HERE = pathlib.Path(__file__).resolve().parent


def field(value, width):
    data = value.encode("cp1252") if isinstance(value, str) else value
    return data[:width].ljust(width, b" ")


def konto(name, number, kind, flag=False):
    name_bytes = field(name, 35 - (1 if flag else 0)).rstrip(b" ") + (b"\x06" if flag else b"")
    return field(name_bytes, 35) + field(number, 30) + field(kind, 2) + field("C:\\MoniData\\", 15)


def cash(date, trans, amount, balance, mark=" "):
    return field(date, 10) + field(str(trans), 4) + field(amount, 11) + field(balance, 11) + field(mark, 1) + field("", 6)


def budget(date, trans, budg, verkl, bsaldo, vsaldo, diff, confirmed):
    return (field(date, 10) + field(str(trans), 4) + field(budg, 11) + field(verkl, 11) + field(bsaldo, 11)
            + field(vsaldo, 11) + field(diff, 11) + b" " + (b"*" if confirmed else b" ") + field("", 6))


def trans(name, sign):
    return field(name, 35) + field(sign, 1)


def positions(pairs):
    out = b""
    for left, top in pairs:
        out += field(str(left), 7) + field(str(top), 7)
    return field(out, 140)


def cash_posts(count):
    out, balance = b"", 0
    for i in range(1, count + 1):
        amount = 0 if i == 1 else (125 * i if i % 2 == 0 else -37.5 * i)
        balance += amount
        text = lambda v: (f"{v:.1f}".rstrip("0").rstrip(".")).replace(".", ",")
        out += cash(f"2025-{(i - 1) // 28 + 1:02d}-{(i - 1) % 28 + 1:02d}", 1 if i == 1 else (2 if amount >= 0 else 3),
                    text(amount), text(balance), "x" if i == 3 else " ")
    return out


def budget_posts():
    return (budget("2025-01-01", 1, "0", "0", "0", "0", "0", True)
            + budget("2025-01-25", 3, "-1000", "-1104,5", "-1000", "-1104,5", "-104,5", True)
            + budget("2025-02-25", 2, "25000", "25000", "24000", "23895,5", "-104,5", True)
            + budget("2026-03-25", 3, "-1100", "-1100", "22900", "22795,5", "-104,5", False))


def write(harness, name, data):
    folder = HERE / "corpus" / harness
    folder.mkdir(parents=True, exist_ok=True)
    (folder / name).write_bytes(data)


standard = trans("Kontostart", " ") + trans("Insättning", "+") + trans("Uttag", "-")
register = konto("Hushåll", "1234-5678", "Ek") + konto("", "", "") + konto("Budget 2025", "", "Bg", flag=True)

write("fuzz_records", "cash-posts", cash_posts(3))
write("fuzz_records", "budget-posts", budget_posts())
write("fuzz_records", "register", register)
write("fuzz_records", "positions", positions([(1200, 900), (0, 0), (-15, 30)]))
write("fuzz_records", "transakt", standard)
write("fuzz_records", "b-mall", b"3   -1110   0125  2   25000   02  * ")
write("fuzz_records", "red-days", field("Midsommarafton", 25) + b"2025-06-20" + field("*", 25) + b"          ")
write("fuzz_records", "texts", "1 250,50\n-37,5\n0,0001\n2024-02-29\n2025-02-29\nÅsa €\n".encode("cp1252"))

write("fuzz_account", "cash-12-posts", cash_posts(12))
write("fuzz_account", "budget-4-posts", budget_posts())
write("fuzz_account", "register", register)
write("fuzz_account", "konto-ini", "3\r\nÅsa Öberg\r\n".encode("cp1252"))
write("fuzz_account", "transakt", standard + trans("", " ") + trans("Lön", "+"))


def mall(trans_nr, amount, month, day, excluded=False):
    return field(str(trans_nr), 4) + field(str(amount), 8) + field(month, 2) + field(day, 2) + (b"* " if excluded else b"  ")


def red_day(name, date):
    return field(name, 25) + field(date, 10)


def planning(*parts):
    return b"\n##\n".join(parts)


plan_mall = b"".join(mall(3, 9510, f"{m:02d}", "28") for m in range(1, 13)) + mall(2, 24990, "01", "25") \
    + mall(4, 820, "03", "15", excluded=True) + mall(4, 820, "04", "15", excluded=True)
plan_red = red_day("Nyårsdagen", "2027-01-01") + red_day("Trettondedag jul", "2027-01-06") \
    + red_day("Midsommarafton", "2026-06-19") + red_day("*", "2026-06-19")
plan_trans = standard + trans("Hyra", "-") + trans("El", "-") + trans("", " ")
write("fuzz_planning", "year-of-rent", planning(plan_mall, plan_red, plan_trans))
write("fuzz_planning", "no-red-days", planning(plan_mall, b"", plan_trans))
write("fuzz_planning", "empty-template", planning(b"", plan_red, plan_trans))


# The journal of an interrupted group commit; the placeholder stands for the harness's scratch
# folder and has its length.
SCRATCH = "/tmp/moniva-fuzz-journal-00000000"


def manifest(*entries):
    num = lambda n: n.to_bytes(8, "little")
    text = lambda t: num(len(t)) + t
    out = b"MONIVA-GROUP-JOURNAL-1" + num(len(entries))
    for kind, where, *copy in entries:
        out += kind.encode() + text(f"{SCRATCH}/drive/{where}".encode())
        if kind == "F":
            out += text(copy[0].encode()) + num(copy[1])
    return out + b"END"


def journal(entries, *copies):
    return b"\n##\n".join([manifest(*entries), *copies])


old_register = register[:82]
write("fuzz_journal", "new-account", journal(
    [("D", "MoniData/Ny"), ("F", "MoniData/KontoFil", "copy-0", len(old_register)),
     ("A", "MoniData/Ny/KontoData"), ("A", "MoniData/Ny/Transakt")], old_register))
write("fuzz_journal", "sign-change", journal(
    [("F", "MoniData/Hushåll/KontoData", "copy-0", 86), ("F", "MoniData/Hushåll/Transakt", "copy-1", 36)],
    cash_posts(2), standard[:36]))
write("fuzz_journal", "outside", journal([("F", "MoniData/../sentinel", "copy-0", 2), ("A", "MoniData/ut/KontoData")],
                                         b"xx"))


def account_files(posts, transakt, kategori):
    return b"\n##\n".join([posts, transakt, kategori])


categories = field("Hyra", 35) + field("", 35) + field("Bröd", 35)
with_sub = b"".join(post[:37] + field(str(i % 4), 4) + post[41:] for i, post in
                    enumerate(cash_posts(30)[n:n + 43] for n in range(0, 30 * 43, 43)))
food = standard + trans("Mat", "-")
write("fuzz_stats", "cash-two-years", account_files(with_sub, food, categories))
write("fuzz_stats", "budget", account_files(budget_posts(), food, categories))
write("fuzz_stats", "no-posts", account_files(b"", standard, b""))

write("fuzz_positions", "three-pairs", positions([(1200, 900), (0, 0), (-15, 30)]))
write("fuzz_positions", "every-pair", positions([(1500 * i, 1000 * i) for i in range(1, 11)]))
write("fuzz_positions", "far-away", positions([(9999999, -999999), (28800, 16200)]) + b"1234567")


def editing(posts, transakt, kategori, b_mall, konto_fil, kind, *edits):
    return b"\n##\n".join([posts, transakt, kategori, b_mall, konto_fil, bytes([kind]) + bytes(edits)])


two_accounts = konto("Konto", "1234-5678", "Ek") + konto("Annat", "", "Bg")
ledger_edits = (0, 7, 9, 130, 2, 3, 1, 6, 3, 2, 9, 44, 4, 1, 1, 1, 5, 1, 0, 0, 1, 4, 0, 0)
catalogue_edits = (6, 3, 3, 2, 8, 1, 1, 5, 9, 1, 0, 0, 7, 3, 3, 0, 10, 0, 1, 2, 11, 0, 0, 0)
write("fuzz_editing", "cash-ledger", editing(cash_posts(12), food, categories, b"", two_accounts, 0, *ledger_edits))
write("fuzz_editing", "cash-catalogue", editing(with_sub[:12 * 43], food, categories, b"", two_accounts, 0,
                                                 *catalogue_edits))
write("fuzz_editing", "budget-ledger", editing(budget_posts(), food, categories, plan_mall[:36],
                                                konto("Konto", "", "Bg"), 1, *ledger_edits))
write("fuzz_editing", "budget-catalogue", editing(budget_posts(), food, categories, b"", konto("Konto", "", "Bg"), 1,
                                                   *catalogue_edits))
