SELECT os.id, c.nome, u.nome, os.dt_entrada, os.vlr_total, os.status
FROM Users AS u RIGHT JOIN (Clientes AS c RIGHT JOIN OrdensServico AS os ON c.id = os.cliente_id) ON u.id = os.user_id;