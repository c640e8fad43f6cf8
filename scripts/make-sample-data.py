#!/usr/bin/env python3
"""Writes apps/demo/data/orders.csv, the demo's sample data: 300 orders of a small
greengrocer, one per line, fields separated by ";" (the Total field is the line
total's formula). Deterministic (fixed seed), so
the committed file can be made again byte for byte."""
import datetime
import os
import random

PRODUCTS = [
    ("Apples", 1.89), ("Pears", 2.29), ("Bananas", 1.49), ("Cherries", 6.90),
    ("Plums", 2.99), ("Grapes", 3.49), ("Oranges", 2.19), ("Lemons", 0.59),
    ("Carrots", 0.99), ("Potatoes", 1.29), ("Onions", 0.89), ("Leeks", 1.79),
    ("Tomatoes", 3.29), ("Cucumbers", 0.79), ("Peppers", 4.19), ("Spinach", 2.49),
    ("Asparagus", 8.90), ("Strawberries", 4.99), ("Raspberries", 3.99), ("Walnuts", 9.80),
]
STATES = ["new", "confirmed", "packed", "shipped", "delivered", "returned", "cancelled"]
NOTES = {2: "Leave at the back door and ring twice",
         5: "Call ahead: the loading bay closes at noon",
         9: "Split into two boxes and label both"}
CUSTOMERS = ["Miller", "Schmidt", "Dubois", "Rossi", "Novak", "Jensen", "Kowalski",
             "Garcia", "Smith", "Nakamura", "Okafor", "Larsen"]


def main():
    rng = random.Random(1998)
    start = datetime.date(2026, 1, 5)
    lines = ["Order;Customer;Product;Quantity;Price;Delivered;Paid;Status;Total;Note"]
    for n in range(1, 301):
        product, price = rng.choice(PRODUCTS)
        quantity = rng.randint(1, 40)
        delivered = start + datetime.timedelta(days=n // 3 + rng.randint(0, 2))
        paid = "Y" if rng.random() < 0.7 else ""
        customer = rng.choice(CUSTOMERS)
        status = STATES[(n * 3) % 5]
        lines.append(f"{1000 + n};{customer};{product};{quantity};{price:.2f};"
                     f"{delivered.isoformat()};{paid};{status};COL(4)*COL(5);{NOTES.get(n, '')}")
    here = os.path.dirname(os.path.abspath(__file__))
    path = os.path.join(here, "..", "apps", "demo", "data", "orders.csv")
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
